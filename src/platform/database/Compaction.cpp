#include "platform/database/Compaction.h"

#include "platform/database/Connection.h"
#include "platform/database/DatabaseLog.h"
#include "platform/database/SyncedFiles.h"

#include <QFile>

namespace folimar::database {

namespace {

QString sqlLiteral(const QString& text) {
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QLatin1String("''")) +
           QLatin1Char('\'');
}

// Copies the bytes and frees the unused pages of the copy. Returns false in `usable`
// when the file was not made for this (no incremental vacuum).
Status vacuumCopy(const QString& source, const QString& target, const QByteArray& key,
                  bool* usable) {
    *usable = false;
    if (Status copied = copyUnsynced(source, target); !copied) // flushed once, at the end
        return copied;
    Status status;
    std::shared_ptr<Connection> copy = Connection::open(target, OpenMode{}, key, false, &status);
    if (!copy)
        return status;
    *usable = copy->scalar(QStringLiteral("PRAGMA auto_vacuum"), &status).toInt() == 2;
    if (status && *usable)
        status = copy->exec(QStringLiteral("PRAGMA incremental_vacuum"));
    if (Status closed = copy->close(); status && !closed)
        status = closed;
    return status;
}

Status rollBackJournal(const QString& source, const QByteArray& key) {
    Status status;
    std::shared_ptr<Connection> file = Connection::open(source, OpenMode{}, key, false, &status);
    if (!file)
        return status;
    file->scalar(QStringLiteral("SELECT count(*) FROM sqlite_master"), &status);
    if (Status closed = file->close(); status && !closed)
        status = closed;
    return status;
}

Status exportCopy(const QString& source, const QString& target, const QByteArray& key) {
    Status status;
    // Writable: a database attached to a read-only connection cannot be created.
    std::shared_ptr<Connection> from = Connection::open(source, OpenMode{}, key, false, &status);
    if (!from)
        return status;
    status = from->exec(QStringLiteral("ATTACH DATABASE %1 AS compacted KEY %2")
                            .arg(sqlLiteral(target), sqlLiteral(QString::fromUtf8(key))));
    if (status)
        status = from->exec(QStringLiteral("PRAGMA compacted.auto_vacuum = INCREMENTAL"));
    if (status)
        status = from->exec(QStringLiteral("SELECT sqlcipher_export('compacted')"));
    if (status)
        status = from->exec(QStringLiteral("DETACH DATABASE compacted"));
    if (Status closed = from->close(); status && !closed)
        status = closed;
    return status;
}

} // namespace

Status compactFile(const QString& source, const QString& target, const QByteArray& key) {
    if (QFile::exists(target))
        return Status::failure(errors::Exists, QStringLiteral("file exists: %1").arg(target));
    bool vacuumed = false;
    // A file with a journal beside it has a change to undo first: the engine undoes it
    // when it next reads the file, so the copy is taken after such a read. (The export
    // is no way round it: it numbers the records afresh, and fields kept apart are found
    // by their record's number.)
    Status status = QFile::exists(source + QStringLiteral("-journal"))
                        ? rollBackJournal(source, key)
                        : Status();
    if (status)
        status = vacuumCopy(source, target, key, &vacuumed);
    if (status && !vacuumed) {
        QFile::remove(target);
        status = exportCopy(source, target, key);
    }
    if (status)
        status = syncPath(target);
    if (!status) {
        qCWarning(lcDatabase) << "compacting" << source << "failed:" << status.message();
        QFile::remove(target);
        QFile::remove(target + QStringLiteral("-journal"));
    }
    return status;
}

} // namespace folimar::database
