#pragma once

#include "bookexport/BookExport.h"
#include "speechexport/AudioCommand.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <atomic>
#include <functional>
#include <optional>

namespace folimar::store {
class BookStore;
}

namespace folimar::bookexport {

// A topic as it leaves the program: its text, its stored picture (empty: none) and the
// boxes of the words recognised on that picture (empty: none kept).
struct ExportedTopic {
    int number = 0;
    QString name;
    QString text;
    QByteArray picture;
    QByteArray wordBoxes;
};

struct ExportedBook {
    QString title;  // the book's name
    QString author; // the book's owner; empty: unknown
    QList<ExportedTopic> topics;
    // The book file that the topics' pictures and word boxes are still to be read from,
    // by the export itself; empty when the topics carry them.
    QString picturesFrom{};
};

// The open book's topics in their order, every one or those numbered within `range`:
// their texts, their pictures and word boxes left to the export, which reads them over a
// connection of its own as it goes.
ExportedBook exportedBookTexts(store::BookStore& store,
                               const std::optional<speechexport::TopicRange>& range);

// Reads the pictures and word boxes that `book` still lacks, telling the share read as it
// goes, over a connection to the book file of its own (the store may be used meanwhile).
// A topic gone from the book since keeps none. False when the book file cannot be read
// (`why` says so) or when `cancelled` is set.
bool readPictures(ExportedBook& book, const std::function<void(double share)>& progress,
                  const std::atomic<bool>& cancelled, QString* why);

// Runs `work` with the whole book: its pictures read first when it still lacks them, that
// reading taking `readShare` of the progress.
using WholeBookWork =
    std::function<BookExportOutcome(const ExportedBook& book, const BookExportProgress& progress)>;
BookExportOutcome withPicturesRead(const ExportedBook& book, double readShare,
                                   const BookExportProgress& progress,
                                   const std::atomic<bool>& cancelled, const WholeBookWork& work);

} // namespace folimar::bookexport
