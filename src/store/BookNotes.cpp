// The notes file and the merge of a second book.
#include "platform/database/Transaction.h"
#include "store/BookFields.h"
#include "store/BookSchema.h"
#include "store/BookStore.h"
#include "store/BookWordTable.h"
#include "store/TopicNotes.h"
#include "store/WordBoxTable.h"

#include <QFileInfo>
#include <QHash>
#include <limits>

namespace folimar::store {

using database::Statement;
using database::StatementScope;
using database::Status;
using database::Transaction;
namespace errors = database::errors;

std::optional<QString> BookStore::readNote(int topicNo) {
    Status status;
    Statement* select =
        notes_ ? notes_->connection().cached(QStringLiteral("SELECT NoteText FROM Sitedata WHERE "
                                                            "TopicNo = ?1 ORDER BY rowid LIMIT 1"),
                                             &status)
               : nullptr;
    if (!select)
        return std::nullopt;
    StatementScope scope(select);
    select->bind(1, topicNo);
    if (!select->step(&status))
        return std::nullopt;
    return select->columnText(0);
}

Status BookStore::writeNote(int topicNo, const QString& topicName, const QString& noteText) {
    if (!notes_)
        return Status::failure(errors::NoView, QStringLiteral("no notes file open"));
    if (notes_->isReadOnly())
        return Status::failure(errors::NotUpdatable, QStringLiteral("notes opened read-only"));
    if (topicNo < std::numeric_limits<qint16>::min() ||
        topicNo > std::numeric_limits<qint16>::max())
        return Status::failure(errors::Overflow, QStringLiteral("topic number out of range"));
    if (topicName.size() > database::DefaultTextSize)
        return Status::failure(errors::Overflow, QStringLiteral("topic name too long"));
    database::Connection& connection = notes_->connection();
    Transaction transaction(connection);
    Status status = transaction.status();
    Statement* update =
        status ? connection.cached(QStringLiteral("UPDATE Sitedata SET TopicName = ?2, "
                                                  "NoteText = ?3 WHERE rowid = (SELECT rowid "
                                                  "FROM Sitedata WHERE TopicNo = ?1 ORDER BY "
                                                  "rowid LIMIT 1)"),
                                   &status)
               : nullptr;
    if (update) {
        StatementScope scope(update);
        update->bind(1, topicNo);
        update->bind(2, topicName);
        update->bind(3, noteText);
        update->step(&status);
    }
    if (status && connection.scalar(QStringLiteral("SELECT changes()")).toInt() == 0) {
        if (Statement* add = connection.cached(
                QStringLiteral("INSERT INTO Sitedata (TopicNo, TopicName, NoteText) "
                               "VALUES (?1, ?2, ?3)"),
                &status)) {
            StatementScope scope(add);
            add->bind(1, topicNo);
            add->bind(2, topicName);
            add->bind(3, noteText);
            add->step(&status);
        }
    }
    if (status)
        status = transaction.commit();
    if (status)
        NotesModified = true;
    return status;
}

QList<NoteEntry> BookStore::notes() {
    QList<NoteEntry> entries;
    Status status;
    Statement* select =
        notes_
            ? notes_->connection().cached(QStringLiteral("SELECT TopicNo, TopicName, NoteText FROM "
                                                         "Sitedata ORDER BY TopicNo, rowid"),
                                          &status)
            : nullptr;
    if (!select)
        return entries;
    StatementScope scope(select);
    while (select->step(&status))
        entries.append({int(select->columnInt(0)), select->columnText(1), select->columnText(2)});
    return entries;
}

Status BookStore::mergeSource(int* added) {
    if (added)
        *added = 0;
    Status status = bookWritable();
    if (status && !merge_)
        status = Status::failure(errors::NoView, QStringLiteral("no merge source open"));
    if (!status)
        return status;
    // The source's count decides whether the numbers fit; its topics are then copied one
    // at a time, so a book of large pictures never sits in memory as a whole.
    database::Connection& source = merge_->connection();
    const qint64 count =
        source.scalar(QStringLiteral("SELECT count(*) FROM Sitedata"), &status).toLongLong();
    const int first = highestTopicNo().value_or(0) + 1;
    if (status && first + count - 1 > std::numeric_limits<qint16>::max())
        status = Status::failure(errors::Overflow, QStringLiteral("too many topics to merge"));
    if (!status)
        return status;
    // The source's notes come along, numbered as their topics are here.
    const QList<NoteEntry> sourceNotes = mergeSourceNotes();
    const bool withNotes = !sourceNotes.isEmpty() && attachNotes();
    QHash<int, int> numbers; // the source's number of a topic, its number here
    int copied = 0;
    bool copiedSome = false;
    status = writeBook(
        [&](database::Connection& connection) {
            Status status;
            Statement* select =
                source.cached(QStringLiteral("SELECT TopicName, %1, NoteText, rowid, TopicNo "
                                             "FROM Sitedata "
                                             "ORDER BY TopicNo, rowid")
                                  .arg(bookFieldColumn(source, schema::TextField)),
                              &status);
            Statement* add =
                select
                    ? connection.cached(QStringLiteral("INSERT INTO Sitedata (TopicNo, "
                                                       "TopicName, NoteText) VALUES (?1, ?2, ?3)"),
                                        &status)
                    : nullptr;
            StatementScope scope(select);
            while (add && status && select->step(&status)) {
                {
                    StatementScope adding(add);
                    add->bind(1, first + copied);
                    add->bind(2, select->columnText(0));
                    add->bind(3, select->columnValue(2));
                    add->step(&status);
                }
                const qint64 row = connection.lastInsertRow();
                if (status)
                    status =
                        writeBookField(connection, row, schema::TextField, select->columnText(1));
                if (status)
                    status = writeBookField(
                        connection, row, schema::PictureField,
                        readBookField(source, select->columnInt(3), schema::PictureField));
                if (status) // the words found on the picture come along with it
                    status = writeWordBoxes(connection, row,
                                            readWordBoxes(source, select->columnInt(3)));
                if (const int number = int(select->columnInt(4)); !numbers.contains(number))
                    numbers.insert(number, first + copied); // the first of a number keeps it
                ++copied;
            }
            copiedSome = copied > 0;
            if (status) { // and the words it never doubts
                bool wordsAdded = false;
                status = addBookWords(connection, readBookWords(source), &wordsAdded);
                copiedSome = copiedSome || wordsAdded;
            }
            if (status && withNotes) {
                QList<NoteEntry> notes;
                for (NoteEntry note : sourceNotes) {
                    if (!numbers.contains(note.TopicNo))
                        continue; // a note without a topic in the source
                    note.TopicNo = numbers.value(note.TopicNo);
                    notes.append(note);
                }
                status = topicnotes::addNotes(connection, notes);
            }
            return status;
        },
        &copiedSome);
    if (status && added)
        *added = copied;
    if (status && withNotes)
        NotesModified = true;
    return status;
}

// The notes of the merge source's own notes file, in number order; none when it has none.
QList<NoteEntry> BookStore::mergeSourceNotes() {
    QList<NoteEntry> entries;
    const QString path = notesPathFor(MergePath);
    if (!QFileInfo(path).isFile())
        return entries;
    Status status;
    std::unique_ptr<database::Database> notes =
        workspace_.openDatabase(path, database::OpenMode{true, true}, schema::OpenConnect, &status);
    Statement* select =
        notes ? notes->connection().cached(QStringLiteral("SELECT TopicNo, TopicName, NoteText "
                                                          "FROM Sitedata ORDER BY TopicNo, rowid"),
                                           &status)
              : nullptr;
    if (select) {
        StatementScope scope(select);
        while (select->step(&status))
            entries.append(
                {int(select->columnInt(0)), select->columnText(1), select->columnText(2)});
    }
    return entries;
}

} // namespace folimar::store
