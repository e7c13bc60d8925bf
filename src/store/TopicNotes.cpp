#include "store/TopicNotes.h"

#include <QSet>

namespace folimar::store::topicnotes {

using database::Statement;
using database::StatementScope;
using database::Status;

namespace {

// Runs a prepared statement once with the given values for ?1, ?2, ...
Status run(database::Connection& book, const QString& sql, const QVariantList& values) {
    Status status;
    Statement* statement = book.cached(sql, &status);
    if (!statement)
        return status;
    StatementScope scope(statement);
    for (qsizetype i = 0; i < values.size(); ++i)
        statement->bind(int(i) + 1, values[i]);
    statement->step(&status);
    return status;
}

Status dropNotesNumbered(database::Connection& book, qint64 topicNo) {
    return run(book, QStringLiteral("DELETE FROM notes.Sitedata WHERE TopicNo = ?1"), {topicNo});
}

} // namespace

Status moveNotes(database::Connection& book, const std::vector<Renumbering>& moves) {
    Status status;
    Statement* select = book.cached(
        QStringLiteral("SELECT rowid FROM notes.Sitedata WHERE TopicNo = ?1 ORDER BY rowid"),
        &status);
    QSet<qint64> numbers; // every topic's number before the change
    for (const auto& move : moves)
        numbers.insert(move.first);
    QSet<qint64> seen;
    std::vector<std::pair<qint64, qint64>> notes; // rowid, new number
    for (const auto& [from, to] : moves) {
        if (!select || !status)
            return status;
        if (seen.contains(from))
            continue;
        seen.insert(from);
        if (from == to)
            continue;
        StatementScope scope(select);
        select->bind(1, from);
        while (select->step(&status))
            notes.emplace_back(select->columnInt(0), to);
    }
    for (const auto& [from, to] : moves) {
        if (status && from != to && !numbers.contains(to))
            status = dropNotesNumbered(book, to);
    }
    for (size_t i = 0; status && i < notes.size(); ++i)
        status =
            run(book, QStringLiteral("UPDATE notes.Sitedata SET TopicNo = ?2 WHERE rowid = ?1"),
                {notes[i].first, notes[i].second});
    return status;
}

Status dropNotesWithoutTopic(database::Connection& book, qint64 topicNo) {
    Status status;
    Statement* count = book.cached(
        QStringLiteral("SELECT count(*) FROM main.Sitedata WHERE TopicNo = ?1"), &status);
    if (!count)
        return status;
    qint64 left = -1;
    {
        StatementScope scope(count);
        count->bind(1, topicNo);
        if (count->step(&status))
            left = count->columnInt(0);
    }
    return status && left == 0 ? dropNotesNumbered(book, topicNo) : status;
}

Status addNotes(database::Connection& book, const QList<NoteEntry>& notes) {
    Status status;
    for (qsizetype i = 0; status && i < notes.size(); ++i) {
        status = dropNotesNumbered(book, notes[i].TopicNo);
        if (status)
            status = run(book,
                         QStringLiteral("INSERT INTO notes.Sitedata (TopicNo, TopicName, NoteText) "
                                        "VALUES (?1, ?2, ?3)"),
                         {notes[i].TopicNo, notes[i].TopicName, notes[i].NoteText});
    }
    return status;
}

} // namespace folimar::store::topicnotes
