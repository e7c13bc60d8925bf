#pragma once

#include <QTextEdit>

namespace folimar::reader {

// The reader window's text box. What is pasted into it or dropped on it goes through the
// safe paste (see SafePaste.h), so the box never loads what pasted HTML names.
//
// It can mark the word being spoken inside the highlighted sentence: the highlight a shade
// lighter around the word, and a line under it. The mark is painted over the text rather
// than set as a format: the document (and its undo) stays as
// it is, and moving the mark repaints only the old and the new word.
class ReaderTextEdit final : public QTextEdit {
    Q_OBJECT
public:
    explicit ReaderTextEdit(QWidget* parent = nullptr);

    // Underlines the plain text from `start`, `length` characters; a length of 0 clears it.
    void markWord(int start, int length);
    // The word underlined (start, length); length 0 when none.
    QPair<int, int> markedWord() const { return {wordStart_, wordLength_}; }
    // Where the underline is drawn, in the viewport's coordinates; empty when none.
    QRect wordMarkRect() const { return wordMark().underline; }

    // The doubtful words (start, length), each under a wavy line of a colour of its own;
    // none clears them. Laid over the text, like the spoken word: the document stays as it is.
    void markDoubtful(const QList<QPair<int, int>>& words);
    // Amber: apart from the sentence's highlight, and from red, which desktops use for
    // spelling. The page picture outlines the doubtful words in it too.
    static QColor doubtfulColour() { return QColor(214, 122, 0); }
    QList<QPair<int, int>> doubtfulMarks() const;

Q_SIGNALS:
    // A paste or drop too long to take was refused.
    void pasteRefused();

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct WordMark {
        QRect box; // the word's run of its first line
        QRect underline;
    };
    WordMark wordMark() const;

    int wordStart_ = 0;
    int wordLength_ = 0;
};

} // namespace folimar::reader
