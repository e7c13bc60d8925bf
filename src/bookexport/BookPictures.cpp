#include "bookexport/BookPictures.h"

#include "platform/database/Workspace.h"
#include "store/BookFields.h"
#include "store/BookSchema.h"
#include "store/WordBoxTable.h"

namespace folimar::bookexport {

BookPictures::BookPictures() : workspace_(std::make_unique<database::Workspace>()) {}
BookPictures::~BookPictures() = default;

std::unique_ptr<BookPictures> BookPictures::open(const QString& bookPath, QString* why) {
    std::unique_ptr<BookPictures> pictures(new BookPictures);
    database::Status status;
    pictures->file_ = pictures->workspace_->openDatabase(
        bookPath, database::OpenMode{false, true}, store::schema::OpenConnect, &status);
    if (!pictures->file_) {
        *why = QStringLiteral("The pictures of \"%1\" cannot be read").arg(bookPath);
        return nullptr;
    }
    return pictures;
}

std::optional<qint64> BookPictures::rowOf(int number) {
    database::Status status;
    database::Statement* find = file_->connection().cached(
        QStringLiteral("SELECT rowid FROM %1 WHERE TopicNo = ?1 ORDER BY rowid LIMIT 1")
            .arg(store::schema::Table),
        &status);
    if (!find)
        return std::nullopt;
    database::StatementScope scope(find);
    find->bind(1, number);
    return find->step(&status) ? std::optional(find->columnInt(0)) : std::nullopt;
}

BookPictures::Part BookPictures::picturePart(qint64 row, qint64 count) {
    database::Status status;
    database::FieldPart part = store::readBookFieldPart(
        file_->connection(), row, store::schema::PictureField, 0, count, &status);
    return {std::move(part.bytes), part.size};
}

QByteArray BookPictures::picture(qint64 row) {
    return store::readBookField(file_->connection(), row, store::schema::PictureField)
        .toByteArray();
}

QByteArray BookPictures::wordBoxes(qint64 row) {
    return store::readWordBoxes(file_->connection(), row);
}

} // namespace folimar::bookexport
