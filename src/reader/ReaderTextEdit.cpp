#include "reader/ReaderTextEdit.h"

#include "reader/SafePaste.h"

#include <QMimeData>
#include <QPainter>
#include <QTextBlock>
#include <QTextLayout>
#include <algorithm>

namespace folimar::reader {

namespace {

// Thickness of the word's underline, in pixels.
constexpr int MarkThickness = 2;
// How much lighter the highlight is around the word (the alpha of the text's colour laid
// over it).
constexpr int ShadeAlpha = 60;

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

void ReaderTextEdit::markDoubtful(const QList<QPair<int, int>>& words) {
    const int characters = std::max(0, document()->characterCount() - 1);
    QList<QTextEdit::ExtraSelection> marks;
    QTextCharFormat wavy;
    wavy.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    wavy.setUnderlineColor(doubtfulColour());
    for (const auto& [start, length] : words) {
        if (start < 0 || length <= 0 || start + length > characters)
            continue;
        QTextCursor word(document());
        word.setPosition(start);
        word.setPosition(start + length, QTextCursor::KeepAnchor);
        marks.append({word, wavy});
    }
    setExtraSelections(marks);
}

QList<QPair<int, int>> ReaderTextEdit::doubtfulMarks() const {
    QList<QPair<int, int>> words;
    for (const QTextEdit::ExtraSelection& mark : extraSelections())
        words.append({mark.cursor.selectionStart(),
                      mark.cursor.selectionEnd() - mark.cursor.selectionStart()});
    return words;
}

void ReaderTextEdit::markWord(int start, int length) {
    const int characters = std::max(0, document()->characterCount() - 1);
    start = std::clamp(start, 0, characters);
    length = std::clamp(length, 0, characters - start);
    if (length == 0)
        start = 0;
    if (start == wordStart_ && length == wordLength_)
        return;
    const WordMark old = wordMark();
    wordStart_ = start;
    wordLength_ = length;
    const WordMark now = wordMark();
    viewport()->update(old.box.united(old.underline).united(now.box).united(now.underline));
}

// Under the word's first line, where an underline of its font goes: a word broken over
// two lines is marked where it begins.
ReaderTextEdit::WordMark ReaderTextEdit::wordMark() const {
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
    const QTextBlock block = document()->findBlock(wordStart_);
    const QTextLine line = block.layout()
                               ? block.layout()->lineForTextPosition(wordStart_ - block.position())
                               : QTextLine();
    // The character after the cursor carries the word's font.
    QTextCursor inWord(from);
    inWord.movePosition(QTextCursor::NextCharacter);
    const QFontMetrics metrics(inWord.charFormat().font());
    const int baseline =
        first.top() + (line.isValid() ? qRound(line.ascent()) : first.height() - metrics.descent());
    const int top = std::min(baseline + std::max(1, metrics.underlinePos()),
                             first.bottom() + 1 - MarkThickness);
    const int left = std::min(first.left(), last.left());
    const int right = std::max(first.left(), last.left());
    const int width = std::max(right - left, 1);
    return {QRect(left, first.top(), width, first.height()),
            QRect(left, top, width, MarkThickness)};
}

void ReaderTextEdit::paintEvent(QPaintEvent* event) {
    QTextEdit::paintEvent(event);
    const WordMark mark = wordMark();
    if (mark.box.isEmpty() || !event->rect().intersects(mark.box.united(mark.underline)))
        return;
    // The word lies in the highlighted sentence: marked in the colour of highlighted text.
    QPainter painter(viewport());
    QColor ink = palette().color(QPalette::HighlightedText);
    ink.setAlpha(ShadeAlpha);
    painter.fillRect(mark.box, ink);
    ink.setAlpha(255);
    painter.fillRect(mark.underline, ink);
}

} // namespace folimar::reader
