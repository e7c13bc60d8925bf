#pragma once

#include "platform/database/Connection.h"
#include "store/TopicRecords.h"

#include <QList>
#include <optional>

namespace folimar::store {

// The page texts of the open book, kept after they were read once while the book stays
// unchanged (no write through this program's connection, no commit by another program),
// so that a search through the whole book or its statistics need not decrypt every text
// again.
class TextCache {
public:
    std::optional<QList<TopicPage>> texts(database::Connection& connection);
    void keep(database::Connection& connection, QList<TopicPage> texts);
    void clear();

private:
    struct Stamp {
        qint64 changes = -1;
        qint64 dataVersion = -1;
        bool operator==(const Stamp&) const = default;
    };
    static Stamp stampOf(database::Connection& connection);

    QList<TopicPage> texts_;
    std::optional<Stamp> stamp_;
};

} // namespace folimar::store
