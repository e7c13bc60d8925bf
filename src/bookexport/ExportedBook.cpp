#include "bookexport/ExportedBook.h"

#include "bookexport/BookPictures.h"
#include "store/BookStore.h"

#include <QFileInfo>

namespace folimar::bookexport {

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
    const std::unique_ptr<BookPictures> file = BookPictures::open(book.picturesFrom, why);
    if (!file)
        return false;
    for (qsizetype i = 0; i < book.topics.size(); ++i) {
        if (cancelled.load())
            return false;
        ExportedTopic& topic = book.topics[i];
        if (const std::optional<qint64> row = file->rowOf(topic.number)) {
            topic.picture = file->picture(*row);
            topic.wordBoxes = file->wordBoxes(*row);
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
