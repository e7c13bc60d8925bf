#pragma once

#include "platform/database/Connection.h"
#include "platform/database/Status.h"
#include "platform/database/TableDef.h"
#include "platform/database/View.h"

#include <memory>

namespace folimar::database {

// One open database file: its schema (tables, fields, indexes) and its views. Closing
// it, or destroying it, closes every view opened on it.
class Database {
public:
    explicit Database(std::shared_ptr<Connection> connection);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    bool isOpen() const { return connection_->isOpen(); }
    bool isReadOnly() const { return connection_->isReadOnly(); }
    const QString& path() const { return connection_->path(); }
    Connection& connection() { return *connection_; }
    Status close();

    // Creates the table with its fields, then its indexes (text indexes order without
    // regard to case), in one transaction.
    Status appendTable(const TableDef& table);
    // Adds a field at the end; a field that exists already fails with errors::Exists
    // and stays as it is.
    Status appendField(const QString& table, const FieldDef& field);
    Status appendIndex(const QString& table, const IndexDef& index);

    QList<FieldDef> fields(const QString& table, Status* status = nullptr);
    QStringList indexNames(const QString& table);

    // A table view (ViewKind::Table) or snapshot of a table.
    std::unique_ptr<View> openTable(const QString& table, ViewKind kind,
                                    Status* status = nullptr);
    // A view of a query of the form "Select * From T [Order by F] ;" (words in any case):
    // a dynaset, or a snapshot. Text orders without regard to case, ties by record age.
    std::unique_ptr<View> openQuery(const QString& sql, ViewKind kind,
                                    Status* status = nullptr);

private:
    Status createIndex(const QString& table, const IndexDef& index);

    std::shared_ptr<Connection> connection_;
};

} // namespace folimar::database
