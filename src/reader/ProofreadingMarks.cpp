#include "reader/ProofreadingMarks.h"

#include "platform/character/Character.h"
#include "proofreading/PageProofreader.h"
#include "reader/CharacterHost.h"
#include "reader/ReaderState.h"
#include "reader/ReaderTextEdit.h"
#include "reader/SentenceReader.h"
#include "reader/TextEditBox.h"
#include "store/BookStore.h"
#include "recognition/RecognitionSettings.h"

#include <QTimer>
#include <utility>

namespace folimar::reader {

namespace {

// "w, r, o, l, d": each letter said alone.
QString spelt(const QString& word) {
    QStringList letters;
    for (const QChar letter : word)
        letters.append(QString(letter));
    return letters.join(QStringLiteral(", "));
}

} // namespace

ProofreadingMarks::ProofreadingMarks(Parts parts, PageTurn turnPage, QObject* parent)
    : QObject(parent), parts_(std::move(parts)), turnPage_(std::move(turnPage)) {
    connect(parts_.text.document(), &QTextDocument::contentsChanged, this,
            &ProofreadingMarks::refresh);
    connect(&parts_.reader, &SentenceReader::sentenceQueued, this,
            [this] { caretAfterReading_.reset(); });
    connect(&parts_.reader, &SentenceReader::readingEnded, this, [this] {
        const std::optional<int> caret = std::exchange(caretAfterReading_, std::nullopt);
        if (caret && parts_.text.toPlainText() == walkedText_)
            parts_.box.setSelectionStart(*caret);
    });
}

void ProofreadingMarks::refresh() {
    if (refreshQueued_)
        return;
    refreshQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        if (refreshQueued_)
            refreshNow();
    });
}

void ProofreadingMarks::refreshNow() {
    refreshQueued_ = false;
    const auto settings = recognition::RecognitionSettings::load(parts_.recognitionSettingsPath);
    parts_.proofreader.setLanguages(settings.languagesToRead());
    if (parts_.store.OpenedBookPath != wordsOfBook_) {
        wordsOfBook_ = parts_.store.OpenedBookPath;
        parts_.proofreader.setBookWords(parts_.store.bookWords());
    }
    const auto& page =
        parts_.proofreader.page(parts_.text.toPlainText(), parts_.state.WordBoxes);
    doubtful_ = page.doubtful;
    QList<QPair<int, int>> inText;
    QList<QRect> onPicture;
    for (const proofreading::DoubtfulWord& word : doubtful_) {
        inText.append({word.offset, word.length});
        onPicture += proofreading::boxesAt(page.placed, word.offset);
    }
    parts_.text.markDoubtful(settings.markDoubtfulInText ? inText : QList<QPair<int, int>>());
    Q_EMIT marked(settings.markDoubtfulOnPicture ? onPicture : QList<QRect>());
}

bool ProofreadingMarks::walk(bool forward) {
    if (refreshQueued_)
        refreshNow();
    const QString text = parts_.text.toPlainText();
    const int caret = parts_.box.selectionStart();
    const bool atWalked = walked_ && caret == walked_->offset && text == walkedText_;
    if (atWalked && !spelt_ && forward == walkedForward_) {
        spelt_ = true;
        say(spelt(text.mid(walked_->offset, walked_->length)));
        return true;
    }
    // On from the word the walk stopped at; else from the caret, a word there included.
    const qint32 from = forward && !atWalked ? caret - 1 : caret;
    std::optional<proofreading::DoubtfulWord> next =
        proofreading::nextDoubtful(doubtful_, from, forward);
    if (!next) {
        if (!turnPage_ || !turnPage_(forward))
            return false;
        refreshNow();
        if (doubtful_.isEmpty())
            return false;
        next = forward ? doubtful_.front() : doubtful_.back();
    }
    const QString now = parts_.text.toPlainText();
    walked_ = next;
    walkedText_ = now;
    walkedForward_ = forward;
    spelt_ = false;
    parts_.box.setSelectionStart(next->offset);
    const auto& page = parts_.proofreader.page(now, parts_.state.WordBoxes);
    Q_EMIT walkedTo(proofreading::boxesAt(page.placed, next->offset));
    say(now.mid(next->offset, next->length));
    return true;
}

QString ProofreadingMarks::wordAtCaret() const {
    const QString text = parts_.text.toPlainText();
    const int caret = parts_.box.selectionStart();
    for (const proofreading::TextWord& word : proofreading::splitIntoWords(text)) {
        if (caret >= word.offset && caret <= word.offset + word.length)
            return text.mid(word.offset, word.length);
    }
    return {};
}

void ProofreadingMarks::addWordAtCaret() {
    const QString word = wordAtCaret();
    if (word.isEmpty() || !parts_.store.mayEdit() || !parts_.store.addBookWord(word))
        return;
    parts_.proofreader.addBookWord(word);
    refreshNow();
}

// The character says the word alone: a reading going on stops first.
void ProofreadingMarks::say(const QString& words) {
    caretAfterReading_.reset();
    if (parts_.reader.isReading()) {
        caretAfterReading_ = parts_.box.selectionStart();
        parts_.reader.StopReading();
    }
    if (parts_.host.ensureLoaded() && parts_.host.character())
        parts_.host.character()->speak(words);
}

} // namespace folimar::reader
