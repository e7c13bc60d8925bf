#pragma once

#include "store/TopicRecords.h"

#include <QList>
#include <QString>
#include <QtGlobal>
#include <functional>

namespace folimar::platform {
class Dialogs;
}
namespace folimar::settings {
struct Settings;
}
namespace folimar::store {
class BookStore;
}

namespace folimar::reader {

class CharacterHost;
class ReaderTextBox;
class SentenceReader;
struct ReaderState;

// What the find and replace windows share: the texts and choices of the last search.
struct SearchState {
    QString FindText;
    bool FindOnPage = false;
    qint16 MatchCase = 0;
    qint16 FindDirection = 0; // 0 "Down", 1 "Up": shown only, searching always runs forward
    qint32 BookFindPos = -1;  // the match in the book topic being looked at
    bool BookSearchFresh = true;
    QString ReplaceFind;
    QString ReplaceWith;
};

// Find Next in the reader's text or through the whole book, and Replace All over every
// topic of the book. A match is selected in the reader text and reading goes on from it.
// Without a book (Vocimar) every search is a search of the reader text.
class TextFinder {
public:
    struct Parts {
        settings::Settings& settings;
        ReaderState& state;
        SentenceReader& reader;
        CharacterHost& host;
        platform::Dialogs& dialogs;
        ReaderTextBox& readerText;
        store::BookStore* store = nullptr; // the open book; none in Vocimar
    };
    // Calls to the topic list and the reader window; an empty hook does nothing.
    struct Hooks {
        std::function<int()> topicCount;            // entries in the topic list
        std::function<void(int topicNo)> showTopic; // select its entry, which shows it
        std::function<void()> refreshShownTopic;    // re-show entry TopicIndex (muted)
        std::function<void()> activateReader;
    };

    TextFinder(Parts parts, Hooks hooks);

    SearchState search;

    void FindNext();
    void ReplaceAll();

private:
    Qt::CaseSensitivity sensitivity() const;
    int topicCount() const;
    void findOnPage();
    void findInBook();
    // Moves on from `bookTopic_` to the first topic whose text holds FindText, shows it
    // and returns true; false when no topic is left.
    bool showNextTopicWithMatch();
    void reportNotFound();
    void moveReadingToMatch();
    bool refuseWhileTopicDirty();

    Parts parts_;
    Hooks hooks_;
    QList<store::TopicPage> bookTexts_; // read once per fresh book search
    qsizetype bookTopic_ = 0;           // the topic of bookTexts_ the book search is in
    quint64 searchedGeneration_ = 0;    // the store's generation bookTexts_ were read in
};

} // namespace folimar::reader
