#include "bookexport/ExportedBook.h"

#include "store/BookStore.h"

#include <QFileInfo>

namespace folimar::bookexport {

ExportedBook exportedBook(store::BookStore& store,
                          const std::optional<speechexport::TopicRange>& range) {
    ExportedBook book{
        QFileInfo(store.OpenedBookPath).completeBaseName(), store.firstRecordOwner(), {}};
    QList<ExportedTopic>& topics = book.topics;
    for (const store::TopicEntry& entry : store.topicList()) {
        if (range && (entry.TopicNo < range->first || entry.TopicNo > range->last))
            continue;
        // Two topics may share a number; the store gives the first of them, as reading does.
        if (!topics.isEmpty() && topics.last().number == entry.TopicNo)
            continue;
        if (const std::optional<store::TopicPage> page = store.readTopic(entry.TopicNo))
            topics.append(
                {page->TopicNo, page->TopicName, page->PicText, page->PicData, page->WordBoxes});
    }
    return book;
}

} // namespace folimar::bookexport
