#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

namespace folimar::database {
class Database;
class Workspace;
} // namespace folimar::database

namespace folimar::bookexport {

// A book file open for reading its topics' pictures and word boxes over a connection of
// its own (the store may be used meanwhile). One is used on one thread.
class BookPictures {
public:
    // None when the file cannot be read (`why` says so).
    static std::unique_ptr<BookPictures> open(const QString& bookPath, QString* why);
    ~BookPictures();
    BookPictures(const BookPictures&) = delete;
    BookPictures& operator=(const BookPictures&) = delete;

    // The record of the first topic numbered `number`; none when the book has none now.
    std::optional<qint64> rowOf(int number);
    // The picture's bytes from the start, at most `count` of them, and its whole size (0
    // for none).
    struct Part {
        QByteArray bytes;
        qint64 size = 0;
    };
    Part picturePart(qint64 row, qint64 count);
    QByteArray picture(qint64 row);
    QByteArray wordBoxes(qint64 row);

private:
    BookPictures();

    std::unique_ptr<database::Workspace> workspace_;
    std::unique_ptr<database::Database> file_;
};

} // namespace folimar::bookexport
