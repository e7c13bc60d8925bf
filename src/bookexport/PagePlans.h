#pragma once

#include "bookexport/ExportedBook.h"
#include "bookexport/PdfDocument.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <atomic>
#include <functional>
#include <optional>

namespace folimar::bookexport {

class BookPictures;

// What a topic's page of a PDF needs before its picture's bytes: the picture's frame,
// resolution, turn and size read from its head, where it is kept, and its word boxes.
struct PagePlan {
    std::optional<PagePicture> picture; // none: pages of text
    QByteArray wordBoxes;
    qint64 row = -1; // of the topic in the book file the picture is read from
};

// The plans of the book's topics in their order, from the heads of their pictures alone
// (read from `file` when the book's topics do not carry their pictures), telling each
// topic planned. None when cancelled or when a topic's picture cannot be shown (`why` says
// which).
std::optional<QList<PagePlan>> planPages(const ExportedBook& book, BookPictures* file,
                                         const std::function<void(qsizetype planned)>& progress,
                                         const std::atomic<bool>& cancelled, QString* why);

} // namespace folimar::bookexport
