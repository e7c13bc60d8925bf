#pragma once

#include "speechexport/AudioCommand.h"

#include <QByteArray>
#include <QList>
#include <QString>
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
};

// The open book with its topics in their order, every one or those numbered within
// `range`, with their pictures and word boxes.
ExportedBook exportedBook(store::BookStore& store,
                          const std::optional<speechexport::TopicRange>& range);

} // namespace folimar::bookexport
