#pragma once

#include <QString>

namespace folimar::topics {

// What the book window's page turning (previous/next/first/last topic, the blank pages
// before and after the topics) and its file commands need of the topic manager.
// Entries are in TopicNo order; each carries its topic number.
class TopicNavigation {
public:
    virtual ~TopicNavigation();

    virtual int entryCount() const = 0;
    virtual int topicNoAt(int index) const = 0;
    // The number after the last topic's (1 in an empty book): a new topic's number.
    QString nextTopicNumber() const {
        const int count = entryCount();
        return QString::number(count == 0 ? 1 : topicNoAt(count - 1) + 1);
    }
    // Selects entry `index`, which shows that topic (text, note, picture, captions).
    virtual void selectEntry(int index) = 0;
    // De-selects entry `index` without showing anything.
    virtual void deselectEntryMuted(int index) = 0;
    // A blank page (before the first topic or after the last) shows no topic: nothing
    // shown, and nothing typed, belongs to the note of the topic left.
    virtual void showNoTopic() = 0;
    // The number and name boxes (`Text1`, `Text2`) where a new topic is composed.
    virtual void setNumberAndName(const QString& number, const QString& name) = 0;
    // Caption "Add to Topic ???", a beep, and the topic manager shown.
    virtual void askToAddTopic() = 0;
    // Caption "Select Topic" (after a page was stored).
    virtual void markTopicStored() = 0;
    virtual void LockTopicList() = 0;
    virtual void UnlockTopicList() = 0;
    // Rebuilds the list from the book (after a merge or a book switch).
    virtual void Doors_refresh() = 0;
    // Shows the topic manager in its list view (the book window's Topics command).
    virtual void showTopicManager() = 0;
    // The number and name boxes' texts, which a stored page goes under.
    virtual QString numberText() const = 0;
    virtual QString nameText() const = 0;
    // A book switch unloads the topic manager (it is emptied and hidden) before the book
    // is closed, and loads it again (hidden: the list rebuilt, the saved topic restored)
    // once the next book is open.
    virtual void unloadTopicManager() {}
    virtual void loadTopicManager() { Doors_refresh(); }
    // The page on screen was stored as topic `topicNo`: the list is rebuilt and that
    // topic's entry becomes the one shown (selected, its number, name and caption) without
    // loading the page again.
    virtual void showStoredPage(int topicNo) {
        Q_UNUSED(topicNo);
        Doors_refresh();
    }
    // Rebuilds the list as topics are added after the last one (an import), keeping the
    // entry shown selected without showing it again, so that reading goes on undisturbed.
    virtual void refreshKeepingShown() { Doors_refresh(); }
};

} // namespace folimar::topics
