#include "platform/database/Workspace.h"

#include "platform/database/Compaction.h"
#include "platform/database/ConnectString.h"

#include <QFile>

namespace folimar::database {

Workspace::Workspace(QString name, QString user, QString password)
    : name_(std::move(name)), user_(std::move(user)), password_(std::move(password)) {}

std::unique_ptr<Database> Workspace::createDatabase(const QString& path,
                                                    const QString& localeAndPassword,
                                                    Status* status) {
    Status local;
    Status& result = status ? *status : local;
    std::shared_ptr<Connection> connection =
        Connection::open(path, OpenMode{}, passwordOf(localeAndPassword), true, &result);
    if (!connection)
        return nullptr;
    // Incremental vacuum must be chosen before the first table; it lets a compaction
    // copy the file and give back free pages instead of rewriting every page.
    result = connection->exec(QStringLiteral("PRAGMA auto_vacuum = INCREMENTAL"));
    if (result)
        result = connection->exec(QStringLiteral(
            "CREATE TABLE FieldOrder (TableName TEXT, FieldName TEXT, Position INTEGER)"));
    if (!result) {
        connection->close();
        QFile::remove(path);
        return nullptr;
    }
    return std::make_unique<Database>(std::move(connection));
}

std::unique_ptr<Database> Workspace::openDatabase(const QString& path, OpenMode mode,
                                                  const QString& connect, Status* status) {
    Status local;
    Status& result = status ? *status : local;
    std::shared_ptr<Connection> connection =
        Connection::open(path, mode, passwordOf(connect), false, &result);
    return connection ? std::make_unique<Database>(std::move(connection)) : nullptr;
}

Status Workspace::compactDatabase(const QString& source, const QString& target,
                                  const QString& locale, const QString& sourceConnect) {
    Q_UNUSED(locale); // text is stored as UTF-8 and sorted by our own collation
    return compactFile(source, target, passwordOf(sourceConnect));
}

} // namespace folimar::database
