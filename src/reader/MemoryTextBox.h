#pragma once

#include "reader/ReaderTextBox.h"

namespace folimar::reader {

// A text box held in memory, for readers without a window (the listening check, tests).
// It keeps the selection rules of a real text box: the caret and the selection are
// clipped to the text, and placing the caret empties the selection. It has no window to
// minimise or to focus.
class MemoryTextBox final : public ReaderTextBox {
public:
    explicit MemoryTextBox(QString text = {}) : text_(std::move(text)) {}

    void setText(const QString& text);
    int selectionLength() const { return length_; }

    QString text() const override { return text_; }
    int selectionStart() const override { return start_; }
    void setSelectionStart(int start) override;
    void setSelectionLength(int length) override;
    QString selectedText() const override { return text_.mid(start_, length_); }
    bool windowMinimised() const override { return false; }
    void takeFocus() override {}

private:
    QString text_;
    int start_ = 0;
    int length_ = 0;
};

} // namespace folimar::reader
