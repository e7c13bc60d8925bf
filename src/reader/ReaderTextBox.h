#pragma once

#include <QString>

namespace folimar::reader {

// What the sentence reader needs of the text box it reads from. Positions are 0-based
// character indices of the plain text; the selection is clipped to the text.
class ReaderTextBox {
public:
    virtual ~ReaderTextBox();

    virtual QString text() const = 0;
    virtual int selectionStart() const = 0;
    // Places the caret: the selection becomes empty.
    virtual void setSelectionStart(int start) = 0;
    // Extends the selection from its start.
    virtual void setSelectionLength(int length) = 0;
    virtual QString selectedText() const = 0;

    virtual bool windowMinimised() const = 0;
    // Activates the reader window and gives the text box the focus.
    virtual void takeFocus() = 0;
};

} // namespace folimar::reader
