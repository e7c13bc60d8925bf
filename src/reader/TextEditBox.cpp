#include "reader/TextEditBox.h"

#include <QApplication>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>

namespace folimar::reader {

TextEditBox::TextEditBox(QTextEdit& edit) : edit_(edit) {
    // The document itself can be replaced (setDocument); its content signal covers both.
    changed_ = QObject::connect(&edit_, &QTextEdit::textChanged, [this] { stale_ = true; });
}

TextEditBox::~TextEditBox() {
    QObject::disconnect(changed_);
}

const QString& TextEditBox::plainText() const {
    if (stale_) {
        plain_ = edit_.toPlainText();
        stale_ = false;
    }
    return plain_;
}

QString TextEditBox::text() const {
    return plainText();
}

int TextEditBox::selectionStart() const {
    return edit_.textCursor().selectionStart();
}

int TextEditBox::selectionLength() const {
    const QTextCursor cursor = edit_.textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void TextEditBox::setSelectionStart(int start) {
    const int at = std::clamp(start, 0, int(plainText().size()));
    select(at, at);
}

void TextEditBox::setSelectionLength(int length) {
    const int start = selectionStart();
    const int end = start + std::clamp(length, 0, int(plainText().size()) - start);
    select(start, end);
}

void TextEditBox::select(int anchor, int position) {
    QTextCursor cursor = edit_.textCursor();
    if (cursor.anchor() == anchor && cursor.position() == position)
        return;
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    bringIntoView(cursor);
    edit_.setTextCursor(cursor);
}

// A sentence running out of view comes in near the top, with room for the ones after it:
// the view turns a page now and then instead of moving (and repainting) line by line.
void TextEditBox::bringIntoView(const QTextCursor& selection) {
    QTextCursor end(selection);
    end.clearSelection();
    const QRect view = edit_.viewport()->rect();
    const QRect endRect = edit_.cursorRect(end);
    if (endRect.top() >= view.top() && endRect.bottom() <= view.bottom())
        return;
    QTextCursor start(edit_.document());
    start.setPosition(selection.selectionStart());
    QScrollBar* bar = edit_.verticalScrollBar();
    bar->setValue(bar->value() + edit_.cursorRect(start).top() - view.height() / 4);
}

QString TextEditBox::selectedText() const {
    // From the plain text: the cursor's own selected text carries paragraph separators.
    const QTextCursor cursor = edit_.textCursor();
    return plainText().mid(cursor.selectionStart(),
                           cursor.selectionEnd() - cursor.selectionStart());
}

bool TextEditBox::windowMinimised() const {
    return edit_.window()->isMinimized();
}

void TextEditBox::takeFocus() {
    // The window comes forward only while one of the program's windows has the keyboard:
    // keys typed into another program never land in the page's text.
    if (edit_.window()->isVisible() && QApplication::activeWindow())
        edit_.window()->activateWindow();
    edit_.setFocus(Qt::OtherFocusReason);
}

} // namespace folimar::reader
