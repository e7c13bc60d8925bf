// The topic manager's editing commands. Each change to the book is one transaction of
// the store: it is made as a whole or not at all.
#include "topics/TopicManager.h"

#include "platform/dialogs/Dialogs.h"
#include "platform/paths/ProgramLocations.h"
#include "reader/ReaderState.h"
#include "settings/Settings.h"
#include "store/BookStore.h"
#include "topics/NotesWindow.h"
#include "topics/StoreFailure.h"
#include "topics/TopicListBox.h"
#include "topics/TopicListState.h"
#include "topics/TopicNumbers.h"

#include <QFile>
#include <QLineEdit>

namespace folimar::topics {

namespace {

const QString SelectTopicCaption = QStringLiteral("Select Topic");

} // namespace

bool TopicManager::mayEditBook() {
    return parts_.store.mayEdit();
}

bool TopicManager::refuseOutOfRange(qint64 number) {
    if (FitsTopicNo(number))
        return false;
    parts_.dialogs.message(TopicNumberRefusal(number));
    return true;
}

void TopicManager::addEdit() {
    if (!mayEditBook())
        return;
    const std::optional<qint64> number = NumberIn(Text1->text());
    if (number && refuseOutOfRange(*number))
        return;
    store::BookStore& store = parts_.store;
    const bool bookWasEmpty = !store.highestTopicNo().has_value();
    LockTopicList();
    store::TopicWrite topic{int(number.value_or(0)), Text2->text(),
                            hooks_.readerText ? hooks_.readerText() : QString(), {}, {}};
    topic.WordBoxes = parts_.readerState.WordBoxes;
    QFile picture(parts_.locations.WorkFolder + QStringLiteral("/temp.jpg"));
    if (picture.open(QIODevice::ReadOnly))
        topic.PicData = picture.readAll();
    if (bookWasEmpty)
        topic.owner = parts_.settings.UserName; // the first topic records the book's owner
    bool added = false;
    if (!number) {
        UnlockTopicList();
        return;
    }
    // A page the book does not take stays shown as edited, so it can be stored later.
    if (const database::Status status = store.storeTopic(topic, &added); !status) {
        TellStoreFailure(parts_.dialogs, QStringLiteral("The page"), status);
        UnlockTopicList();
        return;
    }
    // The page shown is now the topic stored, whichever number it was shown under.
    parts_.listState.TopicAdded = false;
    showStoredPage(topic.TopicNo);
    setWindowTitle(SelectTopicCaption);
    parts_.readerState.TopicDirty = false;
    indexStale_ = true;
    UnlockTopicList();
}

void TopicManager::deleteTopics() {
    if (DispLstBx->currentRow() < 0 || !mayEditBook())
        return;
    if (!parts_.dialogs.confirm(QStringLiteral("Are you Sure ?"), QStringLiteral("Delete")))
        return;
    QList<int> numbers;
    for (int row = 0; row < DispLstBx->count(); ++row) {
        if (DispLstBx->item(row)->isSelected())
            numbers.append(DispLstBx->topicNoAt(row));
    }
    parts_.store.deleteTopics(numbers);
    setWindowTitle(SelectTopicCaption);
    parts_.readerState.TopicDirty = false;
    Doors_refresh();
    showBlankPageAfterLast();
}

void TopicManager::insertTopic() {
    const int position = DispLstBx->currentRow();
    if (position < 0 || !mayEditBook())
        return;
    if (parts_.readerState.TopicDirty) {
        askToAddTopic(); // the new topic would be shown in place of the edited page
        return;
    }
    const std::optional<qint64> number = NumberIn(Text1->text());
    if (!number || refuseOutOfRange(*number))
        return;
    const database::Status status =
        parts_.store.insertTopic(position, int(*number), QString::number(*number));
    if (!status) {
        // The last topic would move past the highest number; anything else fails silently.
        if (status.code() == database::errors::Overflow)
            refuseOutOfRange(qint64(DispLstBx->topicNoAt(DispLstBx->count() - 1)) + 1);
        return;
    }
    // The new topic may now be the first record, without an owner: stamp it quietly. The
    // quiet is for this rebuild only, not for the next book's.
    parts_.listState.OwnerNoticeMuted = true;
    Doors_refresh();
    parts_.listState.OwnerNoticeMuted = false;
    selectEntry(position);
}

void TopicManager::renumberTopics() {
    if (!mayEditBook() || DispLstBx->count() == 0)
        return;
    LockTopicList();
    const database::Status status = parts_.store.renumberTopics();
    if (!status) {
        if (status.code() == database::errors::Overflow)
            refuseOutOfRange(DispLstBx->count());
        UnlockTopicList();
        return;
    }
    Doors_refresh();
    const int shown = parts_.settings.TopicIndex;
    if (shown >= 0 && shown < DispLstBx->count()) {
        if (parts_.readerState.TopicDirty) {
            markShown(shown); // the edited page stays, under its topic's new number
        } else {
            selectEntry(shown);
            restoreReadingPlace();
        }
    }
    if (!parts_.readerState.TopicDirty)
        setWindowTitle(SelectTopicCaption);
    UnlockTopicList();
}

void TopicManager::gotoTopic() {
    const std::optional<qint64> position = NumberIn(Text1->text());
    if (!position || *position < 1 || *position > DispLstBx->count())
        return;
    deselectCurrent();
    selectEntry(int(*position - 1));
}

} // namespace folimar::topics
