#include "platform/database/Database.h"

#include "platform/database/RecordFields.h"
#include "platform/database/Transaction.h"

#include <QRegularExpression>
#include <QStringList>

namespace folimar::database {

namespace {

QString declaredType(const FieldDef& field) {
    switch (field.type) {
    case FieldType::Integer16:
        return QStringLiteral("SMALLINT");
    case FieldType::Text:
        return QStringLiteral("TEXT(%1)").arg(field.size > 0 ? field.size : DefaultTextSize);
    case FieldType::LongBinary:
        return QStringLiteral("BLOB");
    }
    return QStringLiteral("BLOB");
}

QString columnDefinition(const FieldDef& field) {
    return Connection::quoted(field.name) + QLatin1Char(' ') + declaredType(field);
}

const QString FieldOrderTable = QStringLiteral(
    "CREATE TABLE IF NOT EXISTS FieldOrder (TableName TEXT, FieldName TEXT, Position INTEGER)");

} // namespace

Database::Database(std::shared_ptr<Connection> connection)
    : connection_(std::move(connection)) {}

Database::~Database() { close(); }

Status Database::close() { return connection_->close(); }

Status Database::createIndex(const QString& table, const IndexDef& index) {
    Status status;
    const QList<FieldDef> known = connection_->fields(table, &status);
    const auto field = std::find_if(known.begin(), known.end(), [&](const FieldDef& f) {
        return f.name.compare(index.field, Qt::CaseInsensitive) == 0;
    });
    if (field == known.end())
        return Status::failure(errors::NoSuchField, QStringLiteral("no field %1").arg(index.field));
    const QString collation =
        field->type == FieldType::Text ? QStringLiteral(" COLLATE NOCASE") : QString();
    QString columns = Connection::quoted(field->name) + collation;
    for (const QString& carried : index.carried)
        columns += QStringLiteral(", ") + Connection::quoted(carried);
    return connection_->exec(QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
                                 .arg(Connection::quoted(index.name), Connection::quoted(table),
                                      columns));
}

Status Database::appendTable(const TableDef& table) {
    Transaction transaction(*connection_);
    if (!transaction.status())
        return transaction.status();
    QStringList columns;
    for (const FieldDef& field : table.fields)
        columns.append(columnDefinition(field));
    Status status = connection_->exec(QStringLiteral("CREATE TABLE %1 (%2)")
                                          .arg(Connection::quoted(table.name),
                                               columns.join(QStringLiteral(", "))));
    if (status)
        status = connection_->exec(FieldOrderTable);
    Statement* order = status ? connection_->cached(
                                    QStringLiteral("INSERT INTO FieldOrder VALUES (?1, ?2, ?3)"),
                                    &status)
                              : nullptr;
    for (qsizetype i = 0; order && status && i < table.fields.size(); ++i) {
        StatementScope scope(order);
        order->bind(1, table.name);
        order->bind(2, table.fields[i].name);
        order->bind(3, i + 1);
        order->step(&status);
    }
    for (qsizetype i = 0; status && i < table.fields.size(); ++i) {
        if (table.fields[i].storedApart)
            status = createApartField(*connection_, table.name, table.fields[i].name);
    }
    connection_->schemaChanged();
    for (qsizetype i = 0; status && i < table.indexes.size(); ++i)
        status = createIndex(table.name, table.indexes[i]);
    if (status)
        status = transaction.commit();
    connection_->schemaChanged();
    return status;
}

Status Database::appendField(const QString& table, const FieldDef& field) {
    Status status;
    const QList<FieldDef> known = connection_->fields(table, &status);
    if (!status)
        return status;
    for (const FieldDef& existing : known) {
        if (existing.name.compare(field.name, Qt::CaseInsensitive) == 0)
            return Status::failure(errors::Exists, QStringLiteral("field %1 exists").arg(field.name));
    }
    Transaction transaction(*connection_);
    if (!transaction.status())
        return transaction.status();
    status = connection_->exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2")
                                   .arg(Connection::quoted(table), columnDefinition(field)));
    // Files made elsewhere have no FieldOrder: their physical order is their order.
    const bool ordered = connection_->hasTable(QStringLiteral("FieldOrder"));
    if (status && ordered) {
        if (Statement* order = connection_->cached(
                QStringLiteral("INSERT INTO FieldOrder SELECT ?1, ?2, (SELECT max(Position) + 1 "
                               "FROM FieldOrder WHERE TableName = ?1) WHERE EXISTS "
                               "(SELECT 1 FROM FieldOrder WHERE TableName = ?1)"),
                &status)) {
            StatementScope scope(order);
            order->bind(1, table);
            order->bind(2, field.name);
            order->step(&status);
        }
    }
    if (status)
        status = transaction.commit();
    connection_->schemaChanged();
    return status;
}

Status Database::appendIndex(const QString& table, const IndexDef& index) {
    return createIndex(table, index);
}

QList<FieldDef> Database::fields(const QString& table, Status* status) {
    Status local;
    return connection_->fields(table, status ? status : &local);
}

QStringList Database::indexNames(const QString& table) { return connection_->indexNames(table); }

std::unique_ptr<View> Database::openTable(const QString& table, ViewKind kind, Status* status) {
    Status local;
    Status& result = status ? *status : local;
    QList<FieldDef> known = connection_->fields(table, &result);
    if (!result)
        return nullptr;
    return std::make_unique<View>(connection_, table, kind, std::nullopt, std::move(known));
}

std::unique_ptr<View> Database::openQuery(const QString& sql, ViewKind kind, Status* status) {
    Status local;
    Status& result = status ? *status : local;
    static const QRegularExpression form(
        QStringLiteral("^\\s*select\\s+\\*\\s+from\\s+(\\w+)(?:\\s+order\\s+by\\s+(\\w+))?\\s*;?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = form.match(sql);
    if (!match.hasMatch()) {
        result = Status::failure(errors::BadQuery, QStringLiteral("query not understood: %1").arg(sql));
        return nullptr;
    }
    const QString table = match.captured(1);
    QList<FieldDef> known = connection_->fields(table, &result);
    if (!result)
        return nullptr;
    std::optional<IndexKey> order;
    if (const QString by = match.captured(2); !by.isEmpty()) {
        const auto field = std::find_if(known.begin(), known.end(), [&](const FieldDef& f) {
            return f.name.compare(by, Qt::CaseInsensitive) == 0;
        });
        if (field == known.end()) {
            result = Status::failure(errors::NoSuchField, QStringLiteral("no field %1").arg(by));
            return nullptr;
        }
        order = IndexKey{field->name, field->type == FieldType::Text ? QStringLiteral("NOCASE")
                                                                     : QStringLiteral("BINARY")};
    }
    const ViewKind queryKind = kind == ViewKind::Snapshot ? ViewKind::Snapshot : ViewKind::Dynaset;
    return std::make_unique<View>(connection_, table, queryKind, std::move(order),
                                  std::move(known));
}

} // namespace folimar::database
