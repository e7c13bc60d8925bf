// The topic manager's list: rebuilding it, and showing the topic of the entry selected.
#include "topics/TopicManager.h"

#include "platform/dialogs/Dialogs.h"
#include "platform/paths/ProgramLocations.h"
#include "reader/CharacterHost.h"
#include "reader/ReaderState.h"
#include "reader/SentenceReader.h"
#include "settings/Settings.h"
#include "store/BookSchema.h"
#include "store/BookStore.h"
#include "topics/NotesWindow.h"
#include "topics/PageView.h"
#include "topics/TopicListBox.h"
#include "topics/TopicListState.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>

namespace folimar::topics {

void TopicManager::Doors_refresh() {
    DispLstBx->clear();
    indexStale_ = true;
    store::BookStore& store = parts_.store;
    const QList<store::TopicEntry> topics = store.topicList();
    if (topics.isEmpty())
        return;
    if (!store.hasMarkerFields())
        store.AddMarkerFields(); // a book made before the short text fields
    store.BookOwner = firstRecordOwner();
    // With no user name there is nothing to record, and the notice would come back at
    // every rebuild of the list.
    if (store.BookOwner.isEmpty() && !parts_.settings.UserName.isEmpty()) {
        if (store.ReadOnlyMode) {
            parts_.dialogs.inform(QStringLiteral("Cant Update User info\nFile opened as Read Only"),
                                  QStringLiteral("Folimar"), platform::MessageIcon::Critical);
        } else {
            if (!parts_.listState.OwnerNoticeMuted)
                parts_.dialogs.inform(QStringLiteral("User info added to document"),
                                      QStringLiteral("Folimar"));
            parts_.listState.OwnerNoticeMuted = false;
            store.stampOwner(parts_.settings.UserName);
        }
    }
    DispLstBx->setUpdatesEnabled(false);
    for (const store::TopicEntry& topic : topics) {
        auto* entry = new QListWidgetItem(topic.TopicName);
        entry->setData(Qt::UserRole, topic.TopicNo);
        DispLstBx->addItem(entry);
    }
    DispLstBx->setUpdatesEnabled(true);
}

void TopicManager::refreshKeepingShown() {
    const int row = DispLstBx->currentRow();
    const bool selected = row >= 0 && DispLstBx->item(row)->isSelected();
    settings::Settings& settings = parts_.settings;
    const bool blankPage = settings.TopicIndex < 0 || settings.TopicIndex >= DispLstBx->count();
    const QString oldNext = nextTopicNumber();
    reader::ReaderState& state = parts_.readerState;
    const bool wasMuted = state.ListEventsMuted;
    state.ListEventsMuted = true;
    Doors_refresh();
    if (row >= 0 && row < DispLstBx->count()) {
        DispLstBx->setCurrentRow(row, QItemSelectionModel::NoUpdate);
        DispLstBx->item(row)->setSelected(selected);
    }
    state.ListEventsMuted = wasMuted;
    if (!blankPage)
        return;
    // A blank page stays blank, after the new last topic, and the number it was to be
    // stored under, now taken by an added topic, moves on past them.
    if (settings.TopicIndex >= 0)
        settings.TopicIndex = qint16(DispLstBx->count());
    if (Text1->text() == oldNext) {
        if (Text2->text() == oldNext)
            Text2->setText(nextTopicNumber());
        Text1->setText(nextTopicNumber());
    }
}

void TopicManager::showStoredPage(int topicNo) {
    Doors_refresh();
    for (int row = 0; row < DispLstBx->count(); ++row) {
        if (DispLstBx->topicNoAt(row) == topicNo) {
            markShown(row);
            return;
        }
    }
}

void TopicManager::markShown(int row) {
    QListWidgetItem* entry = DispLstBx->item(row);
    if (!entry)
        return;
    DispLstBx->clearSelection();
    DispLstBx->setCurrentRow(row, QItemSelectionModel::NoUpdate);
    entry->setSelected(true);
    const int topicNo = DispLstBx->topicNoAt(row);
    Text1->setText(QString::number(topicNo));
    Text2->setText(entry->text());
    parts_.page.setPageCaption(Text1->text() + QStringLiteral(" : ") + Text2->text());
    parts_.settings.TopicIndex = qint16(row);
    Form4->loadNote(topicNo, entry->text(), parts_.store.readNote(topicNo).value_or(QString()));
}

void TopicManager::keepShownSelection() {
    DispLstBx->clearSelection();
    const int shown = parts_.settings.TopicIndex;
    if (QListWidgetItem* entry = DispLstBx->item(shown)) {
        DispLstBx->setCurrentRow(shown, QItemSelectionModel::NoUpdate);
        entry->setSelected(true);
    } else {
        DispLstBx->setCurrentRow(-1, QItemSelectionModel::NoUpdate);
    }
}

void TopicManager::showBlankPageAfterLast() {
    DispLstBx->clearSelection();
    DispLstBx->setCurrentRow(-1, QItemSelectionModel::NoUpdate);
    parts_.settings.TopicIndex = qint16(DispLstBx->count());
    const QString number = nextTopicNumber();
    setNumberAndName(number, number);
    Form4->showNoTopic();
    ClearPagePicture();
    setReaderText(QString());
    parts_.page.setPageCaption(QString());
}

// `u` of the first record in TopicNo order, read from that record alone (a query over the
// whole table would read every record's picture to reach the field behind it).
QString TopicManager::firstRecordOwner() {
    database::View* table = parts_.store.BookTable();
    if (!table || !table->setIndex(store::schema::NoIdx))
        return parts_.store.firstRecordOwner(); // a snapshot has no index to walk
    table->moveFirst();
    return table->hasField(QStringLiteral("u")) ? table->value(QStringLiteral("u")).toString()
                                                : QString();
}

void TopicManager::ShowTopic() {
    reader::ReaderState& state = parts_.readerState;
    TopicListState& list = parts_.listState;
    if (state.ListEventsMuted)
        return;
    if (state.TopicDirty) {
        // The edited page stays, and so does all that names the topic it is stored under.
        keepShownSelection();
        askToAddTopic();
        return;
    }
    LockTopicList();
    const std::optional<store::TopicPage> page = seekShownTopic();
    const bool restoring = list.RestoringTopic;
    list.RestoringTopic = false; // whatever happens below, the restore is over
    if (!page) {
        UnlockTopicList();
        return;
    }

    Text1->setText(QString::number(page->TopicNo));
    Text2->setText(page->TopicName);
    parts_.page.setPageCaption(Text1->text() + QStringLiteral(" : ") + Text2->text());

    settings::Settings& settings = parts_.settings;
    if (!state.SelectedByReader)
        state.BackTopicIndex = settings.TopicIndex;
    state.SelectedByReader = false;
    settings.TopicIndex = qint16(DispLstBx->currentRow());

    setReaderText(page->PicText);
    Form4->loadNote(page->TopicNo, page->TopicName,
                    parts_.store.readNote(page->TopicNo).value_or(QString()));
    if (page->PicData.isEmpty())
        ClearPagePicture();
    else
        showPicture(page->PicData);
    state.WordBoxes = page->WordBoxes;
    UnlockTopicList();

    if (!restoring) {
        // A running play loop goes on with this topic from its start.
        state.JumpPending = true;
        state.UserMoved = true;
        state.JumpPos = 0;
        settings.ReadPos = 0;
        state.Paused = false;
        parts_.reader.flagsChanged();
    }
}

std::optional<store::TopicPage> TopicManager::seekShownTopic() {
    TopicListState& list = parts_.listState;
    if (list.SeekDone) {
        // Find left the book's table on the topic it found.
        list.SeekDone = false;
        database::View* table = parts_.store.BookTable();
        if (!table)
            return std::nullopt;
        database::Status status;
        store::TopicPage page{table->value(QStringLiteral("TopicNo"), &status).toInt(),
                              table->value(QStringLiteral("TopicName")).toString(),
                              table->value(QStringLiteral("PicText")).toString(),
                              table->value(QStringLiteral("PicData")).toByteArray(),
                              {}};
        page.WordBoxes = parts_.store.topicWordBoxes(page.TopicNo);
        return status ? std::optional(page) : std::nullopt;
    }
    const int row = DispLstBx->currentRow();
    std::optional<store::TopicPage> page;
    if (row >= 0)
        page = parts_.store.readTopic(DispLstBx->topicNoAt(row));
    if (!list.RestoringTopic)
        pauseForTopicChange();
    return page;
}

// The first step of every topic change while reading: the character stops at once.
void TopicManager::pauseForTopicChange() {
    reader::ReaderState& state = parts_.readerState;
    if (state.Paused)
        return;
    state.Paused = true;
    if (character::Character* character = parts_.host.character())
        character->stop();
}

void TopicManager::showPicture(const QByteArray& jpeg) {
    const QString path = parts_.locations.WorkFolder + QStringLiteral("/temp.jpg");
    QFile::remove(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(jpeg) != jpeg.size()) {
        file.close();
        ClearPagePicture(); // no half-written picture to show or to store again
        return;
    }
    file.close();
    parts_.page.showPagePictureBytes(path, jpeg);
}

void TopicManager::ClearPagePicture() {
    parts_.page.ClearPagePicture();
    removeWorkingPictures();
}

void TopicManager::removeWorkingPictures() {
    QFile::remove(parts_.locations.WorkFolder + QStringLiteral("/temp.bmp"));
    QFile::remove(parts_.locations.WorkFolder + QStringLiteral("/temp.jpg"));
}

void TopicManager::setReaderText(const QString& text) {
    if (hooks_.setReaderText)
        hooks_.setReaderText(text);
}

void TopicManager::LockTopicList() {
    locked_ = true;
    DispLstBx->setEnabled(false);
    parts_.page.setTopicNavigationEnabled(false);
    setEditingEnabled(false);
}

void TopicManager::UnlockTopicList() {
    locked_ = false;
    DispLstBx->setEnabled(!indexView_);
    parts_.page.setTopicNavigationEnabled(true);
    setEditingEnabled(!indexView_);
    DispLstBx->setFocus();
}

} // namespace folimar::topics
