// SaveAs and Merge: the two File commands that write another book file.
#include "bookwindow/BookFileCommands.h"
#include "platform/database/View.h"
#include "platform/dialogs/Dialogs.h"
#include "reader/ReaderState.h"
#include "reader/SentenceReader.h"
#include "settings/Settings.h"
#include "store/BookSchema.h"
#include "store/BookStore.h"
#include "store/WriteProbe.h"
#include "topics/PageView.h"
#include "topics/TopicNavigation.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <limits>

namespace folimar::bookwindow {

namespace {

const QString ProgramTitle = QStringLiteral("Folimar");

bool sameFile(const QString& a, const QString& b) {
    const QFileInfo first(a);
    const QFileInfo second(b);
    if (first.exists() && second.exists())
        return first.canonicalFilePath() == second.canonicalFilePath();
    return first.absoluteFilePath() == second.absoluteFilePath();
}

} // namespace

// Everything that can refuse the copy is checked while the open book is still open; a
// copy that fails after the book was closed opens the old book again.
void BookFileCommands::saveBookAs() {
    if (refusedWhileImporting(QStringLiteral("Save As")))
        return;
    if (p_.state.TopicDirty &&
        !p_.dialogs.confirm(QStringLiteral("Are you Sure you want to Save?"),
                            QStringLiteral("First update your current topic")))
        return;
    const QString chosen = askForBook(BookDialog::SaveAs);
    if (chosen.isEmpty())
        return;
    if (!store::passesWriteProbe(chosen)) {
        const int reason = QFileInfo(QFileInfo(chosen).path()).isDir() ? EACCES : ENOENT;
        showError(reason, qt_error_string(reason));
        return;
    }
    if (QFileInfo::exists(chosen)) {
        p_.dialogs.inform(QStringLiteral("Cant Overwrite"), ProgramTitle,
                          platform::MessageIcon::Critical);
        return;
    }
    const std::optional<EditedPage> edited = editedPage();
    if (!saveCopy(chosen))
        return;
    p_.settings.BookPath = chosen;
    p_.store.LoadBook();
    afterLoad();
    if (edited)
        showEditedPage(*edited);
}

std::optional<BookFileCommands::EditedPage> BookFileCommands::editedPage() const {
    if (!p_.state.TopicDirty)
        return std::nullopt;
    EditedPage page{hooks_.readerText ? hooks_.readerText() : QString(),
                    {},
                    p_.topics.numberText(),
                    p_.topics.nameText()};
    QFile picture(p_.programFolder + QLatin1String("/temp.jpg"));
    if (p_.page.PictureShown() && picture.open(QIODevice::ReadOnly))
        page.picture = picture.readAll();
    return page;
}

// The copy shows the page as it was on screen, still to be stored.
void BookFileCommands::showEditedPage(const EditedPage& page) {
    if (hooks_.setReaderText)
        hooks_.setReaderText(page.text);
    p_.topics.setNumberAndName(page.number, page.name);
    p_.page.ClearPagePicture();
    const QString path = p_.programFolder + QLatin1String("/temp.jpg");
    QFile picture(path);
    if (!page.picture.isEmpty() && picture.open(QIODevice::WriteOnly) &&
        picture.write(page.picture) == page.picture.size()) {
        picture.close();
        p_.page.showPagePictureBytes(path, page.picture);
    }
    p_.state.TopicDirty = true;
}

// Closes the book and copies it to `copyPath`; then the previous-book triple points at the
// book left, and an untitled original is gone. When the copy fails the old book is opened
// again and the error shown.
bool BookFileCommands::saveCopy(const QString& copyPath) {
    const QString oldPath = p_.settings.BookPath;
    unloadAndClose();
    QFile original(oldPath);
    if (!original.copy(copyPath)) {
        p_.store.LoadBook();
        afterLoad();
        showError(int(original.error()), original.errorString());
        return false;
    }
    // The notes go along with the copy, unless a book of that name has notes already.
    const QString copyNotes = p_.store.notesPathFor(copyPath);
    if (!QFile::exists(copyNotes))
        QFile::copy(p_.store.notesPathFor(oldPath), copyNotes);
    rememberPrevious();
    discardIfUntitled(oldPath);
    return true;
}

bool BookFileCommands::sourceOwnerAllowsMerge() {
    QString sourceOwner;
    if (database::View* source = p_.store.MergeTable(); source && source->recordCount() > 0) {
        if (source->setIndex(store::schema::NoIdx)) {
            source->moveFirst();
        } else {
            // A read-only source opens as a snapshot, which has no index: find its lowest
            // number by walking it.
            source->moveFirst();
            database::Bookmark lowest = source->bookmark();
            qint64 lowestNo = std::numeric_limits<qint64>::max();
            for (; !source->eof(); source->moveNext()) {
                const qint64 number = source->value(QStringLiteral("TopicNo")).toLongLong();
                if (number < lowestNo) {
                    lowestNo = number;
                    lowest = source->bookmark();
                }
            }
            source->setBookmark(lowest);
        }
        if (source->hasField(QStringLiteral("u")))
            sourceOwner = source->value(QStringLiteral("u")).toString();
    }
    // An empty book has no owner yet: the merged topics become the user's.
    const QString bookOwner =
        p_.topics.entryCount() == 0 ? p_.settings.UserName : p_.store.BookOwner;
    return bookOwner == p_.settings.UserName && sourceOwner == bookOwner;
}

void BookFileCommands::mergeBook() {
    const auto refuse = [this](const QString& text) {
        p_.dialogs.inform(text, ProgramTitle, platform::MessageIcon::Exclamation);
    };
    if (p_.state.TopicDirty)
        return refuse(QStringLiteral("1st update your topic"));
    if (p_.store.ReadOnlyMode)
        return refuse(QStringLiteral("File opened as ReadOnly"));
    // The import numbers its pages on from the book's last topic and would write over
    // topics merged meanwhile.
    if (refusedWhileImporting(QStringLiteral("Merge")))
        return;
    p_.reader.StopReading();
    const QString chosen = askForBook(BookDialog::Merge);
    if (chosen.isEmpty())
        return;
    store::BookStore& store = p_.store;
    store.MergePath = chosen;
    if (sameFile(chosen, p_.settings.BookPath))
        return refuse(QStringLiteral("Can't Merge a file with itself"));
    store.OpenMergeSource();
    if (!sourceOwnerAllowsMerge()) {
        store.CloseMergeSource();
        return refuse(QStringLiteral("Can't Merge another user's document"));
    }

    p_.topics.LockTopicList();
    int added = 0;
    const database::Status status = store.mergeSource(&added);
    if (status) {
        Doors_refresh3();
        if (const int entries = p_.topics.entryCount(); entries > 0)
            p_.topics.selectEntry(entries - 1);
    }
    store.CloseMergeSource();
    p_.topics.UnlockTopicList();
    if (status)
        p_.dialogs.inform(QStringLiteral("%1 merged from %2.")
                              .arg(added == 1 ? QStringLiteral("1 topic")
                                              : QStringLiteral("%1 topics").arg(added),
                                   QFileInfo(chosen).fileName()),
                          ProgramTitle, platform::MessageIcon::Information);
    else if (status.code() == database::errors::Overflow)
        refuse(QStringLiteral("Can't Merge: the topic numbers would pass %1")
                   .arg(std::numeric_limits<qint16>::max()));
    else if (!status)
        showError(status.code(), status.message());
}

} // namespace folimar::bookwindow
