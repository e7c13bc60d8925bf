// The book's own word list.
#include "platform/database/Statement.h"
#include "store/BookStore.h"

namespace folimar::store {

using database::Statement;
using database::StatementScope;
using database::Status;

namespace {

const QString WordsTable = QStringLiteral("BookWords");

} // namespace

QStringList BookStore::bookWords() {
    QStringList words;
    if (!book_ || !book_->connection().hasTable(WordsTable))
        return words;
    Statement* select = bookStatement(QStringLiteral("SELECT Word FROM BookWords ORDER BY Word"));
    if (!select)
        return words;
    StatementScope scope(select);
    Status status;
    while (select->step(&status))
        words.append(select->columnText(0));
    return words;
}

Status BookStore::addBookWord(const QString& word) {
    const QString trimmed = word.trimmed();
    if (trimmed.isEmpty())
        return Status::failure(database::errors::NoView, QStringLiteral("no word to add"));
    bool changed = false;
    return writeBook(
        [&](database::Connection& connection) {
            Status status;
            if (!connection.hasTable(WordsTable)) {
                status = connection.exec(
                    QStringLiteral("CREATE TABLE BookWords (Word TEXT PRIMARY KEY NOT NULL)"));
                connection.schemaChanged();
            }
            Statement* add =
                status ? connection.cached(
                             QStringLiteral("INSERT OR IGNORE INTO BookWords (Word) VALUES (?1)"),
                             &status)
                       : nullptr;
            if (!add)
                return status;
            StatementScope scope(add);
            const qint64 before = connection.changeCount();
            add->bind(1, trimmed);
            add->step(&status);
            changed = status && connection.changeCount() > before;
            return status;
        },
        &changed);
}

} // namespace folimar::store
