#include "bookwindow/BookWindow.h"
#include "bookwindow/BookWindowLog.h"
#include "bookwindow/PictureState.h"
#include "platform/dialogs/Dialogs.h"
#include "reader/ReaderState.h"
#include "reader/SentenceReader.h"
#include "settings/Settings.h"
#include "store/BookStore.h"
#include "topics/StoreFailure.h"
#include "topics/TopicNavigation.h"

#include <QAction>
#include <QFile>
#include <algorithm>

namespace folimar::bookwindow {

// Unstored edits keep the page where it is, and with it the topic it is to be stored
// under: a refused turn changes neither the list position nor the number, name or caption.
// True when the page may turn.
bool BookWindow::pageMayTurn() {
    if (!navigation_)
        return false;
    if (s_.state.TopicDirty) {
        navigation_->askToAddTopic();
        return false;
    }
    return true;
}

void BookWindow::NextTopic() {
    if (!pageMayTurn())
        return;
    const int count = navigation_->entryCount();
    const int index = std::max<int>(s_.settings.TopicIndex, -1);
    if (count == 0 || index >= count)
        return;
    const int next = index + 1;
    if (next < count) {
        turnTo(next, index);
        s_.state.BackTopicIndex = qint16(next - 1);
        return;
    }
    // Past the last topic: a blank page where the next topic is composed.
    s_.settings.TopicIndex = qint16(count);
    navigation_->deselectEntryMuted(count - 1);
    prepareNewTopicNumber();
    showBlankPage();
}

void BookWindow::PrevTopic() {
    if (!pageMayTurn())
        return;
    const int count = navigation_->entryCount();
    const int index = std::min<int>(s_.settings.TopicIndex, count);
    if (count == 0 || index < 0)
        return;
    const int previous = index - 1;
    if (previous >= 0) {
        turnTo(previous, index);
        s_.state.BackTopicIndex = qint16(previous + 1);
        return;
    }
    // Before the first topic: a blank page where, as after the last, a new topic is
    // composed, never one that is not shown.
    s_.settings.TopicIndex = -1;
    navigation_->deselectEntryMuted(0);
    prepareNewTopicNumber();
    showBlankPage();
}

// Shows entry `index` the way every topic change made while reading goes.
void BookWindow::turnTo(int index, int previousIndex) {
    s_.settings.TopicIndex = qint16(index);
    const int count = navigation_->entryCount();
    s_.reader.changeTopic([this, index, previousIndex, count] {
        if (previousIndex >= 0 && previousIndex < count)
            navigation_->deselectEntryMuted(previousIndex);
        navigation_->selectEntry(index);
    });
}

// The number and name boxes get the number after the last topic's.
void BookWindow::prepareNewTopicNumber() {
    const QString number = navigation_->nextTopicNumber();
    navigation_->setNumberAndName(number, number);
}

void BookWindow::showBlankPage() {
    navigation_->showNoTopic();
    ClearPagePicture();
    if (hooks_.setReaderText)
        hooks_.setReaderText(QString());
    setPageCaption(QString());
}

void BookWindow::showTopics() {
    if (!navigation_)
        return;
    navigation_->showTopicManager();
    navigation_->markTopicStored();
    if (s_.state.TopicDirty)
        navigation_->askToAddTopic();
}

void BookWindow::StoreTopic() {
    if (!navigation_ || !s_.store.mayEdit())
        return;
    if (pasting()) {
        // The page is whole once its picture is; it is not stored half.
        s_.dialogs.inform(QStringLiteral("The picture is still being converted. Store the page "
                                         "once it is ready."),
                          QString(), platform::MessageIcon::Exclamation);
        return;
    }
    const bool emptyBook = !s_.store.highestTopicNo().has_value();
    LockTopicList();

    // A page composed with no topic number yet (a new book) becomes the next topic,
    // named by its number.
    if (navigation_->numberText().trimmed().isEmpty()) {
        const QString next = QString::number(s_.store.highestTopicNo().value_or(0) + 1);
        const QString name = navigation_->nameText();
        navigation_->setNumberAndName(next, name.isEmpty() ? next : name);
    }
    bool numbered = false;
    const int number = navigation_->numberText().trimmed().toInt(&numbered);
    QByteArray pictureBytes;
    bool pictureRead = true;
    QFile jpeg(s_.programFolder + QLatin1String("/temp.jpg"));
    if (jpeg.exists()) {
        pictureRead = jpeg.open(QIODevice::ReadOnly);
        if (pictureRead)
            pictureBytes = jpeg.readAll();
        pictureRead = pictureRead && pictureBytes.size() == jpeg.size();
    }

    // A page that cannot be stored whole stays marked as edited, so it is not lost.
    database::Status status;
    bool stored = false;
    if (!numbered)
        qCWarning(bookWindowLog) << "topic number" << navigation_->numberText()
                                 << "is not a number";
    else if (!pictureRead)
        qCWarning(bookWindowLog) << "could not read" << jpeg.fileName();
    else {
        store::TopicWrite page{number, navigation_->nameText(),
                               hooks_.readerText ? hooks_.readerText() : QString(), pictureBytes,
                               std::nullopt};
        page.WordBoxes = s_.state.WordBoxes; // the boxes of the words read from the picture
        // The first topic stored into an empty book makes the user its owner.
        if (emptyBook)
            page.owner = s_.settings.UserName;
        status = s_.store.storeTopic(page);
        stored = bool(status);
        if (!stored)
            qCWarning(bookWindowLog) << "could not store topic" << number;
    }
    if (stored) {
        navigation_->markTopicStored();
        s_.state.TopicDirty = false;
        navigation_->showStoredPage(number);
    } else if (!numbered) {
        s_.dialogs.inform(QStringLiteral("The topic number \"%1\" is not a number. Type the page's "
                                         "number in the topic manager's No box.")
                              .arg(navigation_->numberText()),
                          QString(), platform::MessageIcon::Exclamation);
    } else if (!status) {
        topics::TellStoreFailure(s_.dialogs, QStringLiteral("The page"), status);
    } else {
        s_.dialogs.beep();
    }
    UnlockTopicList();
}

void BookWindow::LockTopicList() {
    if (navigation_)
        navigation_->LockTopicList();
}

void BookWindow::UnlockTopicList() {
    if (navigation_)
        navigation_->UnlockTopicList();
}

void BookWindow::setTopicNavigationEnabled(bool enabled) {
    mnuPrev->setEnabled(enabled);
    mnuNext->setEnabled(enabled);
}

void BookWindow::setPageCaption(const QString& caption) {
    setWindowTitle(caption);
}

} // namespace folimar::bookwindow
