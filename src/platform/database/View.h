#pragma once

#include "platform/database/Connection.h"
#include "platform/database/Status.h"
#include "platform/database/TableDef.h"

#include <QVariant>

#include <memory>
#include <optional>
#include <vector>

namespace folimar::database {

// Table: the live table, ordered by its current index (rowid order without one), can
//        seek; sees every change made through the database.
// Dynaset: the updatable result of a query; its records are fixed when it opens,
//        records it adds come last.
// Snapshot: a fixed set of records that cannot be changed.
enum class ViewKind { Table, Dynaset, Snapshot };

// A record's position that survives reordering: its row id.
using Bookmark = qint64;

// A cursor over the records of one table. Reads one field at a time, by name, so a
// large field is never loaded unless asked for. Every call may fail; a view whose
// database was closed fails every call with errors::NoView.
class View {
public:
    // The order of a query view (field and collation); none for a table view.
    View(std::shared_ptr<Connection> connection, QString table, ViewKind kind,
         std::optional<IndexKey> queryOrder, QList<FieldDef> fields);

    ViewKind kind() const { return kind_; }
    const QString& table() const { return table_; }
    Connection& connection() const { return *connection_; }
    bool isOpen() const { return connection_->isOpen(); }
    bool isUpdatable() const;
    const QList<FieldDef>& fields() const { return fields_; }
    bool hasField(const QString& name) const;

    // Orders a table view by one of its table's indexes and moves to its first record.
    Status setIndex(const QString& indexName);
    const QString& index() const { return indexName_; }
    // Moves to the first record, in index order, whose indexed field equals `value`
    // (text compares as the index does); `noMatch()` tells when there is none, and the
    // position is then unchanged.
    Status seek(const QVariant& value);
    bool noMatch() const { return noMatch_; }

    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    bool bof();
    bool eof();
    int recordCount();

    // addNew/edit start a buffer that setValue fills and update writes as one statement;
    // after adding, the record that was current stays current.
    Status addNew();
    Status edit();
    Status setValue(const QString& field, const QVariant& value);
    Status update();
    void cancelUpdate();
    // Deletes the current record; moveNext then goes to the record after it.
    Status remove();

    Bookmark bookmark();
    Status setBookmark(Bookmark mark);
    // The row id of the last record this view added or changed.
    Bookmark lastModified() const { return lastModified_; }

    // Integers come back as int, text as QString, long binary as whatever was written
    // (QByteArray or QString); NULL as an invalid QVariant with an ok status.
    QVariant value(const QString& field, Status* status = nullptr);
    // Bytes of a binary value, characters of a text value, 0 for NULL; -1 on failure.
    qint64 fieldSize(const QString& field, Status* status = nullptr);
    // Reads the records again (a dynaset or snapshot that should see later changes).
    Status requery();

private:
    enum class EditMode { None, Adding, Editing };

    Status ensureKeys();
    Status loadKeys();
    std::optional<qint64> currentRow();
    const FieldDef* findField(const QString& name) const;
    QString orderClause() const;
    Status closedStatus() const;
    std::optional<qint64> rowToRead(Status* status);
    Status writeRecord(const QList<std::pair<QString, QVariant>>& values,
                       std::optional<qint64> row);

    std::shared_ptr<Connection> connection_;
    QString table_;
    ViewKind kind_;
    QList<FieldDef> fields_;
    QString indexName_;
    std::optional<IndexKey> order_;

    std::vector<qint64> keys_;
    bool keysLoaded_ = false;
    qint64 seenChanges_ = -1;
    qsizetype pos_ = 0;
    bool onDeleted_ = false;
    bool noMatch_ = false;

    EditMode editMode_ = EditMode::None;
    QList<std::pair<QString, QVariant>> pending_;
    Bookmark lastModified_ = 0;
};

} // namespace folimar::database
