#include "reader/ReaderTextEdit.h"

#include "reader/SafePaste.h"

#include <QMimeData>
#include <QPainter>
#include <QTextBlock>
#include <algorithm>

namespace folimar::reader {

namespace {

// Thickness of the word's underline, in pixels.
constexpr int MarkThickness = 2;

} // namespace

ReaderTextEdit::ReaderTextEdit(QWidget* parent) : QTextEdit(parent) {
    // A new or edited text has no word of the old one to mark.
    connect(document(), &QTextDocument::contentsChange, this, [this] { markWord(0, 0); });
}

bool ReaderTextEdit::canInsertFromMimeData(const QMimeData* source) const {
    return source && (source->hasText() || source->hasHtml());
}

void ReaderTextEdit::insertFromMimeData(const QMimeData* source) {
    QTextCursor cursor = textCursor();
    if (insertPaste(source, cursor) == PasteOutcome::TooLong) {
        Q_EMIT pasteRefused();
        return;
    }
    setTextCursor(cursor);
    ensureCursorVisible();
}

void ReaderTextEdit::markWord(int start, int length) {
    const int characters = std::max(0, document()->characterCount() - 1);
    start = std::clamp(start, 0, characters);
    length = std::clamp(length, 0, characters - start);
    if (length == 0)
        start = 0;
    if (start == wordStart_ && length == wordLength_)
        return;
    const QRect old = wordMarkRect();
    wordStart_ = start;
    wordLength_ = length;
    viewport()->update(old.united(wordMarkRect()));
}

// Under the word's first line: a word broken over two lines is marked where it begins.
QRect ReaderTextEdit::wordMarkRect() const {
    if (wordLength_ == 0)
        return {};
    QTextCursor from(document());
    from.setPosition(wordStart_);
    QTextCursor to(from);
    to.setPosition(wordStart_ + wordLength_);
    const QRect first = cursorRect(from);
    QRect last = cursorRect(to);
    if (last.top() != first.top()) {
        to = from;
        to.movePosition(QTextCursor::EndOfLine);
        last = cursorRect(to);
    }
    const int left = std::min(first.left(), last.left());
    const int right = std::max(first.left(), last.left());
    return {left, first.bottom() - MarkThickness + 1, std::max(right - left, 1), MarkThickness};
}

void ReaderTextEdit::paintEvent(QPaintEvent* event) {
    QTextEdit::paintEvent(event);
    const QRect mark = wordMarkRect();
    if (mark.isEmpty() || !event->rect().intersects(mark))
        return;
    // The word lies in the highlighted sentence: drawn in the colour of highlighted text.
    QPainter painter(viewport());
    painter.fillRect(mark, palette().brush(QPalette::HighlightedText));
}

} // namespace folimar::reader
