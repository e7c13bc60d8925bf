#include "platform/database/Transaction.h"

#include "platform/database/DatabaseLog.h"

namespace folimar::database {

Transaction::Transaction(Connection& connection) : connection_(connection) {
    begun_ = connection_.exec(QStringLiteral("BEGIN IMMEDIATE"));
    open_ = begun_.isOk();
}

Transaction::~Transaction() {
    if (!open_)
        return;
    if (Status undone = connection_.exec(QStringLiteral("ROLLBACK")); !undone)
        qCWarning(lcDatabase) << "rollback failed:" << undone.message();
}

Status Transaction::commit() {
    if (!open_)
        return begun_;
    Status done = connection_.exec(QStringLiteral("COMMIT"));
    open_ = !done.isOk(); // a failed commit is still rolled back
    return done;
}

} // namespace folimar::database
