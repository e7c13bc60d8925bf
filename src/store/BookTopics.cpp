// The topic operations of the book store: reads, and each write as one transaction.
#include "platform/database/Transaction.h"
#include "store/BookFields.h"
#include "store/BookSchema.h"
#include "store/WordBoxTable.h"
#include "store/BookStore.h"
#include "store/TopicNotes.h"

#include <limits>
#include <vector>

namespace folimar::store {

using database::Statement;
using database::StatementScope;
using database::Status;
using database::Transaction;
namespace errors = database::errors;

namespace {

constexpr int MaxTopicNo = std::numeric_limits<qint16>::max();
constexpr int MinTopicNo = std::numeric_limits<qint16>::min();

Status checkTopicNo(qint64 number) {
    if (number < MinTopicNo || number > MaxTopicNo)
        return Status::failure(errors::Overflow,
                               QStringLiteral("topic number %1 out of range").arg(number));
    return {};
}

Status checkName(const QString& name) {
    if (name.size() > database::DefaultTextSize)
        return Status::failure(errors::Overflow, QStringLiteral("topic name too long"));
    return {};
}

const QString FirstByNumber =
    QStringLiteral("SELECT rowid FROM Sitedata WHERE TopicNo = ?1 ORDER BY rowid LIMIT 1");

// Row ids (with their numbers) of all topics in TopicNo order.
Status topicRows(database::Connection& connection, std::vector<std::pair<qint64, qint64>>* rows) {
    Status status;
    Statement* select = connection.cached(
        QStringLiteral("SELECT rowid, TopicNo FROM Sitedata ORDER BY TopicNo, rowid"), &status);
    if (!select)
        return status;
    StatementScope scope(select);
    while (select->step(&status))
        rows->emplace_back(select->columnInt(0), select->columnInt(1));
    return status;
}

Status setTopicNo(database::Connection& connection, qint64 row, qint64 number) {
    Status status;
    Statement* update = connection.cached(
        QStringLiteral("UPDATE Sitedata SET TopicNo = ?1 WHERE rowid = ?2"), &status);
    if (!update)
        return status;
    StatementScope scope(update);
    update->bind(1, number);
    update->bind(2, row);
    update->step(&status);
    return status;
}

} // namespace

Status BookStore::bookWritable() {
    if (!book_)
        return Status::failure(errors::NoView, QStringLiteral("no book open"));
    if (ReadOnlyMode || book_->isReadOnly())
        return Status::failure(errors::NotUpdatable, QStringLiteral("book opened read-only"));
    return {};
}

// Runs `work` on the open book as one transaction: committed, and the book marked modified
// (unless `changed`, when given, says nothing changed), only when all of it succeeded;
// otherwise the book is left as it was.
Status BookStore::writeBook(const std::function<Status(database::Connection&)>& work,
                            const bool* changed) {
    Status status = bookWritable();
    if (!status)
        return status;
    database::Connection& connection = book_->connection();
    Transaction transaction(connection);
    if (!transaction.status())
        return transaction.status();
    status = work(connection);
    if (status)
        status = transaction.commit();
    if (status && (!changed || *changed))
        afterBookWrite();
    return status;
}

void BookStore::afterBookWrite() {
    ++generation_;
    BookModified = true;
    if (bookByName_)
        bookByName_->requery(); // the name list shows the change
}

// A statement of the open book, prepared once; none while no book is open.
Statement* BookStore::bookStatement(const QString& sql) {
    Status status;
    return book_ ? book_->connection().cached(sql, &status) : nullptr;
}

QList<TopicEntry> BookStore::topicEntries(const QString& sql) {
    QList<TopicEntry> entries;
    Statement* select = bookStatement(sql);
    if (!select)
        return entries;
    StatementScope scope(select);
    Status status;
    while (select->step(&status))
        entries.append({int(select->columnInt(0)), select->columnText(1)});
    return entries;
}

QList<TopicEntry> BookStore::topicList() {
    return topicEntries(
        QStringLiteral("SELECT TopicNo, TopicName FROM Sitedata ORDER BY TopicNo, rowid"));
}

QList<TopicEntry> BookStore::topicsByName() {
    return topicEntries(QStringLiteral("SELECT TopicNo, TopicName FROM Sitedata "
                                       "ORDER BY TopicName COLLATE NOCASE, rowid"));
}

std::optional<TopicPage> BookStore::readTopic(int topicNo, bool withPicture) {
    if (!book_)
        return std::nullopt;
    database::Connection& connection = book_->connection();
    Statement* select = bookStatement(
        QStringLiteral("SELECT TopicNo, TopicName, %1, rowid FROM Sitedata WHERE TopicNo = ?1 "
                       "ORDER BY rowid LIMIT 1")
            .arg(bookFieldColumn(connection, schema::TextField)));
    if (!select)
        return std::nullopt;
    Status status;
    StatementScope scope(select);
    select->bind(1, topicNo);
    if (!select->step(&status))
        return std::nullopt;
    TopicPage page{int(select->columnInt(0)), select->columnText(1), select->columnText(2), {}, {}};
    if (withPicture) {
        const qint64 row = select->columnInt(3);
        page.PicData = readBookField(connection, row, schema::PictureField).toByteArray();
        page.WordBoxes = readWordBoxes(connection, row);
    }
    return page;
}

QByteArray BookStore::topicWordBoxes(int topicNo) {
    if (!book_)
        return {};
    Status status;
    Statement* find = book_->connection().cached(FirstByNumber, &status);
    if (!find)
        return {};
    StatementScope scope(find);
    find->bind(1, topicNo);
    return find->step(&status) ? readWordBoxes(book_->connection(), find->columnInt(0))
                               : QByteArray();
}

QList<TopicPage> BookStore::topicTexts() {
    QList<TopicPage> pages;
    if (!book_)
        return pages;
    database::Connection& connection = book_->connection();
    if (std::optional<QList<TopicPage>> kept = texts_.texts(connection))
        return *kept;
    Statement* select = bookStatement(
        QStringLiteral("SELECT TopicNo, TopicName, %1 FROM Sitedata ORDER BY TopicNo, rowid")
            .arg(bookFieldColumn(connection, schema::TextField)));
    if (!select)
        return pages;
    StatementScope scope(select);
    Status status;
    while (select->step(&status))
        pages.append({int(select->columnInt(0)), select->columnText(1), select->columnText(2), {}, {}});
    if (status)
        texts_.keep(connection, pages);
    return pages;
}

std::optional<int> BookStore::highestTopicNo() {
    if (!book_)
        return std::nullopt;
    const QVariant highest =
        book_->connection().scalar(QStringLiteral("SELECT max(TopicNo) FROM Sitedata"));
    return highest.isValid() ? std::optional<int>(highest.toInt()) : std::nullopt;
}

bool BookStore::hasMarkerFields() {
    if (!bookTable_)
        return false;
    for (QLatin1String marker : schema::MarkerFields) {
        if (!bookTable_->hasField(marker))
            return false;
    }
    return true;
}

QString BookStore::firstRecordOwner() {
    if (!book_)
        return {};
    Status ignored; // no `u` field: no owner
    return book_->connection()
        .scalar(QStringLiteral("SELECT u FROM Sitedata ORDER BY TopicNo, rowid LIMIT 1"), &ignored)
        .toString();
}

Status BookStore::storeTopic(const TopicWrite& topic, bool* added) {
    Status status = checkTopicNo(topic.TopicNo);
    if (status)
        status = checkName(topic.TopicName);
    if (!status)
        return status;
    QVariant row;
    status = writeBook([&](database::Connection& connection) {
        Status status;
        row = [&] {
            Statement* find = connection.cached(FirstByNumber, &status);
            if (!find)
                return QVariant();
            StatementScope scope(find);
            find->bind(1, topic.TopicNo);
            return find->step(&status) ? find->columnValue(0) : QVariant();
        }();
        if (!status)
            return status;
        const QString ownerColumn = topic.owner ? QStringLiteral(", u") : QString();
        const QString sql =
            row.isValid()
                ? QStringLiteral("UPDATE Sitedata SET TopicName = ?2%1 WHERE rowid = ?6")
                      .arg(topic.owner ? QStringLiteral(", u = ?5") : QString())
                : QStringLiteral("INSERT INTO Sitedata (TopicNo, TopicName%1) VALUES (?1, ?2%2)")
                      .arg(ownerColumn, topic.owner ? QStringLiteral(", ?5") : QString());
        Statement* write = connection.cached(sql, &status);
        if (!write)
            return status;
        {
            StatementScope scope(write);
            // SQLite numbers parameters by their highest index; bind only those used.
            if (!row.isValid())
                write->bind(1, topic.TopicNo);
            write->bind(2, topic.TopicName);
            if (topic.owner)
                write->bind(5, *topic.owner);
            if (row.isValid())
                write->bind(6, row);
            write->step(&status);
        }
        const qint64 written = row.isValid() ? row.toLongLong() : connection.lastInsertRow();
        if (status)
            status = writeBookField(connection, written, schema::TextField, topic.PicText);
        if (status)
            status = writeBookField(connection, written, schema::PictureField, topic.PicData);
        if (status)
            status = writeWordBoxes(connection, written, topic.WordBoxes);
        return status;
    });
    if (!status)
        return status;
    if (added)
        *added = !row.isValid();
    if (topic.owner)
        BookOwner = *topic.owner;
    return status;
}

Status BookStore::deleteTopics(const QList<int>& topicNumbers) {
    const bool withNotes = attachNotes();
    const Status status = writeBook([&](database::Connection& connection) {
        Status status;
        Statement* erase =
            connection.cached(QStringLiteral("DELETE FROM Sitedata WHERE rowid = (") +
                                  FirstByNumber + QLatin1Char(')'),
                              &status);
        for (qsizetype i = 0; erase && status && i < topicNumbers.size(); ++i) {
            {
                StatementScope scope(erase);
                erase->bind(1, topicNumbers[i]);
                erase->step(&status);
            }
            if (status && withNotes)
                status = topicnotes::dropNotesWithoutTopic(connection, topicNumbers[i]);
        }
        return status;
    });
    if (status && withNotes)
        NotesModified = true;
    return status;
}

Status BookStore::insertTopic(int position, int topicNo, const QString& topicName) {
    Status status = checkTopicNo(topicNo);
    if (status)
        status = checkName(topicName);
    if (!status)
        return status;
    const bool withNotes = attachNotes();
    status = writeBook([&](database::Connection& connection) {
        std::vector<std::pair<qint64, qint64>> rows;
        Status status = topicRows(connection, &rows);
        if (status && (position < 0 || size_t(position) >= rows.size()))
            status = Status::failure(errors::NoCurrentRecord,
                                     QStringLiteral("no topic at %1").arg(position));
        std::vector<topicnotes::Renumbering> moves;
        for (size_t i = 0; status && i < rows.size(); ++i) {
            const qint64 number = rows[i].second + (i >= size_t(position) ? 1 : 0);
            moves.emplace_back(rows[i].second, number);
            status = checkTopicNo(number);
            if (status && number != rows[i].second)
                status = setTopicNo(connection, rows[i].first, number);
        }
        if (status && withNotes)
            status = topicnotes::moveNotes(connection, moves);
        if (!status)
            return status;
        if (Statement* add = connection.cached(
                QStringLiteral("INSERT INTO Sitedata (TopicNo, TopicName) VALUES (?1, ?2)"),
                &status)) {
            StatementScope scope(add);
            add->bind(1, topicNo);
            add->bind(2, topicName);
            add->step(&status);
        }
        return status;
    });
    if (status && withNotes)
        NotesModified = true;
    return status;
}

Status BookStore::renumberTopics() {
    const bool withNotes = attachNotes();
    const Status status = writeBook([&](database::Connection& connection) {
        std::vector<std::pair<qint64, qint64>> rows;
        Status status = topicRows(connection, &rows);
        if (status)
            status = checkTopicNo(qint64(rows.size()));
        std::vector<topicnotes::Renumbering> moves;
        for (size_t i = 0; status && i < rows.size(); ++i) {
            moves.emplace_back(rows[i].second, qint64(i) + 1);
            status = setTopicNo(connection, rows[i].first, qint64(i) + 1);
        }
        if (status && withNotes)
            status = topicnotes::moveNotes(connection, moves);
        return status;
    });
    if (status && withNotes)
        NotesModified = true;
    return status;
}

Status BookStore::stampOwner(const QString& userName) {
    Status status = bookWritable();
    if (status)
        status = checkName(userName);
    if (!status)
        return status;
    Statement* stamp = book_->connection().cached(
        QStringLiteral("UPDATE Sitedata SET u = ?1 WHERE rowid = "
                       "(SELECT rowid FROM Sitedata ORDER BY TopicNo, rowid LIMIT 1)"),
        &status);
    if (stamp) {
        StatementScope scope(stamp);
        stamp->bind(1, userName);
        stamp->step(&status);
    }
    if (!status)
        return status;
    BookOwner = userName;
    afterBookWrite();
    return status;
}

Status BookStore::replaceInTexts(const QString& find, const QString& replacement,
                                 Qt::CaseSensitivity sensitivity, int* count) {
    if (count)
        *count = 0;
    if (find.isEmpty())
        return bookWritable();
    int replacements = 0;
    bool replaced = false;
    const Status status = writeBook(
        [&](database::Connection& connection) {
            Status status;
            std::vector<std::pair<qint64, QString>> changed;
            if (Statement* select = connection.cached(
                    QStringLiteral("SELECT rowid, %1 FROM Sitedata ORDER BY TopicNo, rowid")
                        .arg(bookFieldColumn(connection, schema::TextField)),
                    &status)) {
                StatementScope scope(select);
                while (select->step(&status)) {
                    QString text = select->columnText(1);
                    int here = 0;
                    // Search on behind the inserted text, so a replacement holding `find` ends.
                    for (qsizetype at = text.indexOf(find, 0, sensitivity); at >= 0;
                         at = text.indexOf(find, at + replacement.size(), sensitivity)) {
                        text.replace(at, find.size(), replacement);
                        ++here;
                    }
                    if (here > 0) {
                        changed.emplace_back(select->columnInt(0), std::move(text));
                        replacements += here;
                    }
                }
            }
            for (size_t i = 0; status && i < changed.size(); ++i)
                status = writeBookField(connection, changed[i].first, schema::TextField,
                                        changed[i].second);
            replaced = replacements > 0;
            return status;
        },
        &replaced);
    if (status && count)
        *count = replacements;
    return status;
}

} // namespace folimar::store
