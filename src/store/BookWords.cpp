// The book's own word list.
#include "platform/database/Statement.h"
#include "store/BookStore.h"
#include "store/BookWordTable.h"

namespace folimar::store {

using database::Statement;
using database::StatementScope;
using database::Status;

namespace {

const QString WordsTable = QStringLiteral("BookWords");

} // namespace

QStringList readBookWords(database::Connection& connection) {
    QStringList words;
    if (!connection.hasTable(WordsTable))
        return words;
    Status status;
    Statement* select =
        connection.cached(QStringLiteral("SELECT Word FROM BookWords ORDER BY Word"), &status);
    if (!select)
        return words;
    StatementScope scope(select);
    while (select->step(&status))
        words.append(select->columnText(0));
    return words;
}

Status addBookWords(database::Connection& connection, const QStringList& words, bool* added) {
    if (added)
        *added = false;
    if (words.isEmpty())
        return {};
    Status status;
    if (!connection.hasTable(WordsTable)) {
        status = connection.exec(
            QStringLiteral("CREATE TABLE BookWords (Word TEXT PRIMARY KEY NOT NULL)"));
        connection.schemaChanged();
    }
    Statement* add =
        status ? connection.cached(
                     QStringLiteral("INSERT OR IGNORE INTO BookWords (Word) VALUES (?1)"), &status)
               : nullptr;
    const qint64 before = connection.changeCount();
    for (const QString& word : words) {
        if (!add || !status)
            break;
        StatementScope scope(add);
        add->bind(1, word);
        add->step(&status);
    }
    if (status && added)
        *added = connection.changeCount() > before;
    return status;
}

QStringList BookStore::bookWords() {
    return book_ ? readBookWords(book_->connection()) : QStringList();
}

Status BookStore::addBookWord(const QString& word) {
    const QString trimmed = word.trimmed();
    if (trimmed.isEmpty())
        return Status::failure(database::errors::NoView, QStringLiteral("no word to add"));
    bool changed = false;
    return writeBook(
        [&](database::Connection& connection) {
            return addBookWords(connection, {trimmed}, &changed);
        },
        &changed);
}

} // namespace folimar::store
