#pragma once

#include "proofreading/DoubtfulWords.h"

#include <QList>
#include <QObject>
#include <QRect>
#include <functional>
#include <optional>

namespace folimar::proofreading {
class PageProofreader;
}
namespace folimar::store {
class BookStore;
}

namespace folimar::reader {

class CharacterHost;
class ReaderTextEdit;
class SentenceReader;
class TextEditBox;
struct ReaderState;

// The doubtful words of the page in the reader: marked under the text and, through
// `marked`, on the page picture, as the options choose; marked anew whenever the text,
// its word boxes or the book's words change. And the walk through them: the caret goes to
// the next (or previous) doubtful word, the picture is asked to show it, and the
// character says the word; pressed again on the same word, it spells it letter by letter.
// Past the page's last (first) doubtful word the walk asks to turn to the next page that
// has one.
class ProofreadingMarks final : public QObject {
    Q_OBJECT
public:
    struct Parts {
        ReaderState& state; // the page's word boxes
        ReaderTextEdit& text;
        TextEditBox& box;
        SentenceReader& reader;
        CharacterHost& host;
        proofreading::PageProofreader& proofreader;
        store::BookStore& store; // the book's own words
        QString recognitionSettingsPath;
    };
    // Turns to the next (`forward`) or previous page with a doubtful word; false when
    // there is none, or the page may not turn.
    using PageTurn = std::function<bool(bool forward)>;

    ProofreadingMarks(Parts parts, PageTurn turnPage, QObject* parent = nullptr);

    // Marks again once the events in hand are done (many changes make one marking).
    void refresh();
    void refreshNow();
    // The doubtful words of the page as marked last.
    const QList<proofreading::DoubtfulWord>& doubtful() const { return doubtful_; }

    // F11 (`forward`), Shift+F11. False when no doubtful word is left that way.
    bool walk(bool forward);
    // The word at the caret, as the reader's popup menu adds it to the book's words.
    QString wordAtCaret() const;
    // Adds it to the open book's words (where the book may be edited), and marks anew.
    void addWordAtCaret();

Q_SIGNALS:
    // The doubtful words' boxes on the picture (in its pixels); none when not shown.
    void marked(const QList<QRect>& boxes);
    // The walk reached a word with these boxes on the picture.
    void walkedTo(const QList<QRect>& boxes);

private:
    void say(const QString& words);

    Parts parts_;
    PageTurn turnPage_;
    bool refreshQueued_ = false;
    QString wordsOfBook_; // the book whose words the proof-reader has
    QList<proofreading::DoubtfulWord> doubtful_;
    // The word the walk stopped at, and the text it stood in, until the caret or the
    // text moves on; spelt once it was.
    std::optional<proofreading::DoubtfulWord> walked_;
    QString walkedText_;
    bool walkedForward_ = true;
    bool spelt_ = false;
    // A reading the walk stopped ends after the character has stopped, and its end moves
    // the caret (to the end of the text, after the last sentence): the caret goes back to
    // the word then, unless the text changed or a new reading began.
    std::optional<int> caretAfterReading_;
};

} // namespace folimar::reader
