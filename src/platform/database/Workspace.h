#pragma once

#include "platform/database/Database.h"
#include "platform/database/Status.h"

#include <QString>

#include <memory>

namespace folimar::database {

// The one session with the database engine for the whole run: creates, opens and
// compacts database files. Passwords travel in connect texts (";pwd=...").
class Workspace {
public:
    Workspace(QString name = {}, QString user = QStringLiteral("admin"), QString password = {});

    const QString& name() const { return name_; }
    const QString& user() const { return user_; }

    // A new, empty, encrypted file keyed with the password of `localeAndPassword`
    // (";LANGID=...;CP=...;COUNTRY=0;pwd=..."). Fails when `path` exists. Files made here
    // can be compacted without a full rewrite.
    std::unique_ptr<Database> createDatabase(const QString& path, const QString& localeAndPassword,
                                             Status* status = nullptr);
    // Opens an existing file with the password of `connect`. Null, with the reason in
    // `status`, when the file is missing, not a database, keyed otherwise or cut short.
    std::unique_ptr<Database> openDatabase(const QString& path, OpenMode mode,
                                           const QString& connect, Status* status = nullptr);
    // Writes a complete compacted copy of `source` (closed) to the new file `target`, with
    // the same password, and flushes it. A failure leaves no target and `source` as it was.
    Status compactDatabase(const QString& source, const QString& target, const QString& locale,
                           const QString& sourceConnect);

private:
    QString name_;
    QString user_;
    QString password_;
};

} // namespace folimar::database
