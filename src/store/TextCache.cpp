#include "store/TextCache.h"

namespace folimar::store {

TextCache::Stamp TextCache::stampOf(database::Connection& connection) {
    database::Status status;
    const QVariant version = connection.scalar(QStringLiteral("PRAGMA data_version"), &status);
    return {connection.changeCount(), status ? version.toLongLong() : -1};
}

std::optional<QList<TopicPage>> TextCache::texts(database::Connection& connection) {
    if (!stamp_ || stamp_->dataVersion < 0 || !(*stamp_ == stampOf(connection)))
        return std::nullopt;
    return texts_;
}

void TextCache::keep(database::Connection& connection, QList<TopicPage> texts) {
    texts_ = std::move(texts);
    stamp_ = stampOf(connection);
}

void TextCache::clear() {
    texts_.clear();
    stamp_.reset();
}

} // namespace folimar::store
