#include "bookexport/ExportedBook.h"

#include "platform/database/Workspace.h"
#include "store/BookFields.h"
#include "store/BookSchema.h"
#include "store/BookStore.h"
#include "store/WordBoxTable.h"

#include <QFileInfo>

namespace folimar::bookexport {

namespace {

ExportedBook bookOf(store::BookStore& store, const std::optional<speechexport::TopicRange>& range,
                    bool withPictures) {
    ExportedBook book{QFileInfo(store.OpenedBookPath).completeBaseName(),
                      store.firstRecordOwner(),
                      {},
                      withPictures ? QString() : store.OpenedBookPath};
    QList<ExportedTopic>& topics = book.topics;
    for (const store::TopicEntry& entry : store.topicList()) {
        if (range && (entry.TopicNo < range->first || entry.TopicNo > range->last))
            continue;
        // Two topics may share a number; the store gives the first of them, as reading does.
        if (!topics.isEmpty() && topics.last().number == entry.TopicNo)
            continue;
        if (const std::optional<store::TopicPage> page =
                store.readTopic(entry.TopicNo, withPictures))
            topics.append(
                {page->TopicNo, page->TopicName, page->PicText, page->PicData, page->WordBoxes});
    }
    return book;
}

} // namespace

ExportedBook exportedBook(store::BookStore& store,
                          const std::optional<speechexport::TopicRange>& range) {
    return bookOf(store, range, true);
}

ExportedBook exportedBookTexts(store::BookStore& store,
                               const std::optional<speechexport::TopicRange>& range) {
    return bookOf(store, range, false);
}

bool readPictures(ExportedBook& book, const std::function<void(double share)>& progress,
                  const std::atomic<bool>& cancelled, QString* why) {
    if (book.picturesFrom.isEmpty())
        return true;
    const QString cannotRead =
        QStringLiteral("The pictures of \"%1\" cannot be read").arg(book.picturesFrom);
    database::Workspace workspace;
    database::Status status;
    const std::unique_ptr<database::Database> file = workspace.openDatabase(
        book.picturesFrom, database::OpenMode{false, true}, store::schema::OpenConnect, &status);
    if (!file) {
        *why = cannotRead;
        return false;
    }
    database::Connection& connection = file->connection();
    database::Statement* find = connection.cached(
        QStringLiteral("SELECT rowid FROM %1 WHERE TopicNo = ?1 ORDER BY rowid LIMIT 1")
            .arg(store::schema::Table),
        &status);
    if (!find) {
        *why = cannotRead;
        return false;
    }
    for (qsizetype i = 0; i < book.topics.size(); ++i) {
        if (cancelled.load())
            return false;
        ExportedTopic& topic = book.topics[i];
        qint64 row = -1;
        {
            database::StatementScope scope(find);
            find->bind(1, topic.number);
            if (find->step(&status))
                row = find->columnInt(0);
        }
        if (row >= 0) {
            topic.picture =
                store::readBookField(connection, row, store::schema::PictureField).toByteArray();
            topic.wordBoxes = store::readWordBoxes(connection, row);
        }
        progress(double(i + 1) / double(book.topics.size()));
    }
    book.picturesFrom.clear();
    return true;
}

BookExportOutcome withPicturesRead(const ExportedBook& book, double readShare,
                                   const BookExportProgress& progress,
                                   const std::atomic<bool>& cancelled, const WholeBookWork& work) {
    if (book.picturesFrom.isEmpty())
        return work(book, progress);
    ExportedBook whole = book;
    QString why;
    if (!readPictures(
            whole, [&](double share) { progress(readShare * share, 0); }, cancelled, &why))
        return cancelled.load() ? BookExportOutcome{BookExportOutcome::Status::Cancelled, {}}
                                : BookExportOutcome{BookExportOutcome::Status::Failed, why};
    return work(whole, [&](double share, int topicsDone) {
        progress(readShare + (1 - readShare) * share, topicsDone);
    });
}

} // namespace folimar::bookexport
