#pragma once

#include "reader/ReaderTextBox.h"

#include <QMetaObject>

class QTextCursor;
class QTextEdit;

namespace folimar::reader {

// The reader window's rich text box as the sentence reader sees it. Positions are those of
// the box's plain text; the sentence being spoken is the box's real selection, so moving
// it only repaints the old and the new selection. The plain text is kept until the
// document changes, so finding a period does not copy a large text again and again.
class TextEditBox final : public ReaderTextBox {
public:
    explicit TextEditBox(QTextEdit& edit);
    ~TextEditBox() override;
    TextEditBox(const TextEditBox&) = delete;
    TextEditBox& operator=(const TextEditBox&) = delete;

    QString text() const override;
    int selectionStart() const override;
    void setSelectionStart(int start) override;
    void setSelectionLength(int length) override;
    QString selectedText() const override;
    bool windowMinimised() const override;
    void takeFocus() override;

    int selectionLength() const;

private:
    const QString& plainText() const;
    void select(int anchor, int position);
    void bringIntoView(const QTextCursor& selection);

    QTextEdit& edit_;
    QMetaObject::Connection changed_;
    mutable QString plain_;
    mutable bool stale_ = true;
};

} // namespace folimar::reader
