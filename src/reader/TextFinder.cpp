#include "reader/TextFinder.h"

#include "platform/character/Character.h"
#include "platform/dialogs/Dialogs.h"
#include "reader/CharacterHost.h"
#include "reader/ReaderState.h"
#include "reader/ReaderTextBox.h"
#include "reader/SentenceReader.h"
#include "settings/Settings.h"
#include "store/BookStore.h"

namespace folimar::reader {

namespace {

const QString ProgramTitle = QStringLiteral("Folimar");
const QString NotFoundTitle = QStringLiteral("Find Next from Top?");

} // namespace

TextFinder::TextFinder(Parts parts, Hooks hooks) : parts_(parts), hooks_(std::move(hooks)) {}

Qt::CaseSensitivity TextFinder::sensitivity() const {
    return search.MatchCase == 1 ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

int TextFinder::topicCount() const {
    return hooks_.topicCount ? hooks_.topicCount() : 0;
}

void TextFinder::FindNext() {
    parts_.state.FindActive = false;
    if (search.FindOnPage || !parts_.store)
        findOnPage();
    else
        findInBook();
}

void TextFinder::findOnPage() {
    ReaderState& state = parts_.state;
    const QString text = parts_.readerText.text();
    if (text.isEmpty() || search.FindText.isEmpty())
        return;
    state.FindPos = qint32(text.indexOf(search.FindText, state.FindPos + 1, sensitivity()));
    if (state.FindPos < 0) {
        state.FindPos = -1; // the next search starts at the top
        reportNotFound();
        return;
    }
    moveReadingToMatch();
}

// Topic after topic in TopicNo order, each one shown before its matches are selected in
// the reader text. The texts are read once when a search starts at the first topic.
void TextFinder::findInBook() {
    ReaderState& state = parts_.state;
    if (search.FindText.isEmpty() || topicCount() == 0)
        return;
    if (refuseWhileTopicDirty())
        return;
    // Another book, or a write to this one (a stored page, a replacement), since the
    // texts were read makes them stale: the search starts over in the first topic.
    if (search.BookSearchFresh || searchedGeneration_ != parts_.store->generation()) {
        bookTexts_ = parts_.store->topicTexts();
        searchedGeneration_ = parts_.store->generation();
        bookTopic_ = 0;
        search.BookSearchFresh = false;
        search.BookFindPos = -1;
        state.FindPos = -1; // start in the first topic, not in the page shown now
    }
    for (;;) {
        if (state.FindPos < 0 && !showNextTopicWithMatch())
            break;
        state.FindPos = qint32(
            parts_.readerText.text().indexOf(search.FindText, state.FindPos + 1, sensitivity()));
        if (state.FindPos >= 0) {
            moveReadingToMatch();
            return;
        }
        // The page holds no further match: on with the next topic.
        state.FindPos = -1;
        search.BookFindPos = -1;
        ++bookTopic_;
    }
    bookTexts_.clear();
    search.BookFindPos = -1;
    search.BookSearchFresh = true;
    reportNotFound();
}

bool TextFinder::showNextTopicWithMatch() {
    for (; bookTopic_ < bookTexts_.size(); ++bookTopic_) {
        const store::TopicPage& topic = bookTexts_.at(bookTopic_);
        if (topic.PicText.isEmpty())
            continue;
        search.BookFindPos = qint32(topic.PicText.indexOf(search.FindText, 0, sensitivity()));
        if (search.BookFindPos < 0)
            continue;
        if (hooks_.showTopic)
            hooks_.showTopic(topic.TopicNo);
        return true;
    }
    search.BookFindPos = -1;
    return false;
}

void TextFinder::reportNotFound() {
    parts_.state.FindActive = true;
    parts_.dialogs.message({search.FindText + QStringLiteral(" : Not found"), NotFoundTitle,
                            platform::MessageIcon::None, platform::MessageButtons::Ok});
    if (hooks_.activateReader)
        hooks_.activateReader();
}

// Reading goes on from the match: the character stops, the match is selected, and the
// play loop jumps there at its next step.
void TextFinder::moveReadingToMatch() {
    ReaderState& state = parts_.state;
    if (!state.Paused) {
        state.Paused = true;
        if (character::Character* character = parts_.host.character())
            character->stop();
    }
    parts_.readerText.setSelectionStart(state.FindPos);
    parts_.readerText.setSelectionLength(qint32(search.FindText.size()));
    if (hooks_.activateReader)
        hooks_.activateReader();
    parts_.settings.ReadPos = state.FindPos;
    state.JumpPos = state.FindPos;
    state.JumpPending = true;
    state.UserMoved = true;
    state.Paused = false;
    parts_.reader.flagsChanged();
}

bool TextFinder::refuseWhileTopicDirty() {
    if (!parts_.state.TopicDirty)
        return false;
    parts_.dialogs.inform(QStringLiteral("Please update your topic"), ProgramTitle,
                          platform::MessageIcon::Critical);
    return true;
}

void TextFinder::ReplaceAll() {
    store::BookStore* store = parts_.store;
    if (!store || search.ReplaceFind.isEmpty() || topicCount() == 0)
        return;
    if (!store->mayEdit() || refuseWhileTopicDirty())
        return;

    const qint32 readPos = parts_.settings.ReadPos;
    int count = 0;
    const database::Status status =
        store->replaceInTexts(search.ReplaceFind, search.ReplaceWith, sensitivity(), &count);
    if (!status) {
        // Nothing was stored: saying "not found" or giving a count would be untrue.
        parts_.dialogs.inform(QStringLiteral("The replacements could not be stored: ") +
                                  status.message(),
                              ProgramTitle, platform::MessageIcon::Critical);
    } else if (count > 0) {
        parts_.dialogs.inform(QString::number(count) + QStringLiteral(" Replacements where made"),
                              ProgramTitle);
    } else {
        parts_.dialogs.inform(search.ReplaceFind + QStringLiteral(" : Not found"), ProgramTitle);
    }
    if (hooks_.refreshShownTopic)
        hooks_.refreshShownTopic();
    parts_.settings.ReadPos = readPos;
    parts_.readerText.setSelectionStart(readPos);
    parts_.state.JumpPos = readPos;
}

} // namespace folimar::reader
