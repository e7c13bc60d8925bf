#include "bookexport/ExportedBook.h"

#include "platform/database/Workspace.h"
#include "store/BookFields.h"
#include "store/BookSchema.h"
#include "store/BookStore.h"
#include "store/WordBoxTable.h"

#include <QFileInfo>
#include <algorithm>
#include <future>

namespace folimar::bookexport {

namespace {

// Topics enough for a second connection to pay for unlocking the book again.
constexpr qsizetype TopicsToShare = 32;

// The pictures and word boxes of the topics from `first` to before `last`, read by the store.
void readByStore(store::BookStore& store, QList<ExportedTopic>& topics, qsizetype first,
                 qsizetype last) {
    for (qsizetype i = first; i < last; ++i) {
        if (const std::optional<store::TopicPage> page = store.readTopic(topics[i].number)) {
            topics[i].picture = page->PicData;
            topics[i].wordBoxes = page->WordBoxes;
        }
    }
}

} // namespace

ExportedBook exportedBook(store::BookStore& store,
                          const std::optional<speechexport::TopicRange>& range) {
    ExportedBook book = exportedBookTexts(store, range);
    // Unlocking the pictures is most of the work: in a large book, while the store reads
    // the first half of them, the later half is read beside it over a connection of its own.
    const qsizetype half =
        book.topics.size() >= TopicsToShare ? book.topics.size() / 2 : book.topics.size();
    ExportedBook later = book;
    later.topics = book.topics.mid(half);
    const std::atomic<bool> never{false};
    std::future<bool> reading;
    if (!later.topics.isEmpty())
        reading = std::async(std::launch::async, [&later, &never] {
            QString why;
            return readPictures(
                later, [](double) {}, never, &why);
        });
    readByStore(store, book.topics, 0, half);
    if (reading.valid() && reading.get())
        std::copy(later.topics.cbegin(), later.topics.cend(), book.topics.begin() + half);
    else
        readByStore(store, book.topics, half, book.topics.size());
    book.picturesFrom.clear();
    return book;
}

ExportedBook exportedBookTexts(store::BookStore& store,
                               const std::optional<speechexport::TopicRange>& range) {
    ExportedBook book{QFileInfo(store.OpenedBookPath).completeBaseName(),
                      store.firstRecordOwner(),
                      {},
                      store.OpenedBookPath};
    QList<ExportedTopic>& topics = book.topics;
    for (const store::TopicEntry& entry : store.topicList()) {
        if (range && (entry.TopicNo < range->first || entry.TopicNo > range->last))
            continue;
        // Two topics may share a number; the store gives the first of them, as reading does.
        if (!topics.isEmpty() && topics.last().number == entry.TopicNo)
            continue;
        if (const std::optional<store::TopicPage> page = store.readTopic(entry.TopicNo, false))
            topics.append({page->TopicNo, page->TopicName, page->PicText, {}, {}});
    }
    return book;
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
