#include "platform/database/View.h"

#include "platform/database/RecordFields.h"
#include "platform/database/Transaction.h"

#include <QStringList>


#include <algorithm>
#include <limits>

namespace folimar::database {

namespace {

Status noCurrentRecord() {
    return Status::failure(errors::NoCurrentRecord, QStringLiteral("no current record"));
}

Status checkValue(const FieldDef& field, const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return {};
    switch (field.type) {
    case FieldType::Integer16: {
        bool ok = false;
        const qint64 number = value.toLongLong(&ok);
        if (!ok || number < std::numeric_limits<qint16>::min() ||
            number > std::numeric_limits<qint16>::max())
            return Status::failure(errors::Overflow,
                                   QStringLiteral("%1 does not fit a 16-bit field").arg(field.name));
        return {};
    }
    case FieldType::Text:
        if (value.toString().size() > field.size)
            return Status::failure(errors::Overflow,
                                   QStringLiteral("text too long for %1").arg(field.name));
        return {};
    case FieldType::LongBinary:
        return {};
    }
    return {};
}

} // namespace

View::View(std::shared_ptr<Connection> connection, QString table, ViewKind kind,
           std::optional<IndexKey> queryOrder, QList<FieldDef> fields)
    : connection_(std::move(connection)), table_(std::move(table)), kind_(kind),
      fields_(std::move(fields)), order_(std::move(queryOrder)) {}

bool View::isUpdatable() const {
    return isOpen() && kind_ != ViewKind::Snapshot && !connection_->isReadOnly();
}

Status View::closedStatus() const {
    return Status::failure(errors::NoView, QStringLiteral("view closed"));
}

const FieldDef* View::findField(const QString& name) const {
    for (const FieldDef& field : fields_) {
        if (field.name.compare(name, Qt::CaseInsensitive) == 0)
            return &field;
    }
    return nullptr;
}

bool View::hasField(const QString& name) const { return findField(name) != nullptr; }

QString View::orderClause() const {
    if (!order_)
        return QStringLiteral(" ORDER BY rowid");
    return QStringLiteral(" ORDER BY %1 COLLATE %2, rowid")
        .arg(Connection::quoted(order_->field), order_->collation);
}

Status View::loadKeys() {
    Status status;
    Statement* select = connection_->cached(
        QStringLiteral("SELECT rowid FROM %1").arg(Connection::quoted(table_)) + orderClause(),
        &status);
    if (!select)
        return status;
    StatementScope scope(select);
    std::vector<qint64> keys;
    while (select->step(&status))
        keys.push_back(select->columnInt(0));
    if (!status)
        return status;
    keys_ = std::move(keys);
    keysLoaded_ = true;
    seenChanges_ = connection_->changeCount();
    return {};
}

// A table view follows every write made on its database, keeping its current record.
Status View::ensureKeys() {
    if (!isOpen())
        return closedStatus();
    const bool stale = kind_ == ViewKind::Table && seenChanges_ != connection_->changeCount();
    if (keysLoaded_ && !stale)
        return {};
    const bool hadCurrent =
        keysLoaded_ && !onDeleted_ && pos_ >= 0 && pos_ < qsizetype(keys_.size());
    const qint64 current = hadCurrent ? keys_[size_t(pos_)] : 0;
    const bool first = !keysLoaded_;
    if (Status loaded = loadKeys(); !loaded)
        return loaded;
    if (first) {
        pos_ = 0;
    } else if (hadCurrent) {
        const auto found = std::find(keys_.begin(), keys_.end(), current);
        if (found != keys_.end())
            pos_ = found - keys_.begin();
        else
            onDeleted_ = true; // removed elsewhere: moveNext goes on from here
    }
    pos_ = std::clamp<qsizetype>(pos_, -1, qsizetype(keys_.size()));
    return {};
}

std::optional<qint64> View::currentRow() {
    if (!ensureKeys() || onDeleted_ || pos_ < 0 || pos_ >= qsizetype(keys_.size()))
        return std::nullopt;
    return keys_[size_t(pos_)];
}

Status View::setIndex(const QString& indexName) {
    if (!isOpen())
        return closedStatus();
    if (kind_ != ViewKind::Table)
        return Status::failure(errors::NoIndex, QStringLiteral("only a table view has indexes"));
    std::optional<IndexKey> key = connection_->indexKey(table_, indexName);
    if (!key)
        return Status::failure(errors::NoIndex, QStringLiteral("no index %1").arg(indexName));
    indexName_ = indexName;
    order_ = std::move(key);
    keysLoaded_ = false;
    onDeleted_ = false;
    return ensureKeys();
}

Status View::seek(const QVariant& value) {
    noMatch_ = true;
    if (Status ready = ensureKeys(); !ready)
        return ready;
    if (kind_ != ViewKind::Table || indexName_.isEmpty() || !order_)
        return Status::failure(errors::NoIndex, QStringLiteral("seek needs a current index"));
    Status status;
    Statement* find = connection_->cached(
        QStringLiteral("SELECT rowid FROM %1 WHERE %2 = ?1 COLLATE %3 ORDER BY rowid LIMIT 1")
            .arg(Connection::quoted(table_), Connection::quoted(order_->field),
                 order_->collation),
        &status);
    if (!find)
        return status;
    StatementScope scope(find);
    if (Status bound = find->bind(1, value); !bound)
        return bound;
    if (!find->step(&status))
        return status;
    const auto found = std::find(keys_.begin(), keys_.end(), find->columnInt(0));
    if (found != keys_.end()) {
        pos_ = found - keys_.begin();
        onDeleted_ = false;
        noMatch_ = false;
    }
    return {};
}

void View::moveFirst() {
    if (ensureKeys()) {
        pos_ = 0;
        onDeleted_ = false;
    }
}

void View::moveLast() {
    if (ensureKeys()) {
        pos_ = qsizetype(keys_.size()) - 1;
        onDeleted_ = false;
    }
}

void View::moveNext() {
    if (!ensureKeys())
        return;
    if (onDeleted_)
        onDeleted_ = false; // the records after the deleted one have moved up already
    else if (pos_ < qsizetype(keys_.size()))
        ++pos_;
}

void View::movePrevious() {
    if (!ensureKeys())
        return;
    onDeleted_ = false;
    if (pos_ >= 0)
        --pos_;
}

bool View::bof() { return !ensureKeys() || keys_.empty() || pos_ < 0; }

bool View::eof() { return !ensureKeys() || keys_.empty() || pos_ >= qsizetype(keys_.size()); }

int View::recordCount() { return ensureKeys() ? int(keys_.size()) : 0; }

Status View::addNew() {
    if (!isUpdatable())
        return Status::failure(errors::NotUpdatable, QStringLiteral("view cannot be changed"));
    editMode_ = EditMode::Adding;
    pending_.clear();
    return {};
}

Status View::edit() {
    if (!isUpdatable())
        return Status::failure(errors::NotUpdatable, QStringLiteral("view cannot be changed"));
    if (!currentRow())
        return noCurrentRecord();
    editMode_ = EditMode::Editing;
    pending_.clear();
    return {};
}

Status View::setValue(const QString& name, const QVariant& value) {
    if (editMode_ == EditMode::None)
        return Status::failure(errors::NotEditing, QStringLiteral("not editing"));
    const FieldDef* field = findField(name);
    if (!field)
        return Status::failure(errors::NoSuchField, QStringLiteral("no field %1").arg(name));
    if (Status fits = checkValue(*field, value); !fits)
        return fits;
    for (auto& [pendingName, pendingValue] : pending_) {
        if (pendingName == field->name) {
            pendingValue = value;
            return {};
        }
    }
    pending_.append({field->name, value});
    return {};
}

Status View::update() {
    if (editMode_ == EditMode::None)
        return Status::failure(errors::NotEditing, QStringLiteral("not editing"));
    if (!isOpen())
        return closedStatus();
    const bool adding = editMode_ == EditMode::Adding;
    std::optional<qint64> row;
    if (!adding && !(row = currentRow()))
        return noCurrentRecord();
    QList<std::pair<QString, QVariant>> inRecord;
    QList<std::pair<const FieldDef*, QVariant>> apart;
    for (const auto& entry : pending_) {
        const FieldDef* field = findField(entry.first);
        if (field->storedApart)
            apart.append({field, entry.second});
        else
            inRecord.append(entry);
    }
    // A record and its fields kept apart change together.
    std::optional<Transaction> together;
    if (!apart.isEmpty() && !connection_->inTransaction()) {
        together.emplace(*connection_);
        if (!together->status())
            return together->status();
    }
    Status status;
    if (adding || !inRecord.isEmpty())
        status = writeRecord(inRecord, row);
    const qint64 written = adding ? connection_->lastInsertRow() : *row;
    for (qsizetype i = 0; status && i < apart.size(); ++i)
        status = writeRecordField(*connection_, table_, *apart[i].first, written, apart[i].second);
    if (status && together)
        status = together->commit();
    if (!status)
        return status;
    lastModified_ = written;
    if (adding && kind_ == ViewKind::Dynaset)
        keys_.push_back(lastModified_);
    cancelUpdate();
    return {};
}

// Inserts a record with these values, or writes them into the record `row`.
Status View::writeRecord(const QList<std::pair<QString, QVariant>>& values,
                         std::optional<qint64> row) {
    QStringList names;
    for (const auto& entry : values)
        names.append(Connection::quoted(entry.first));
    QString sql;
    if (!row) {
        QStringList places;
        for (qsizetype i = 1; i <= names.size(); ++i)
            places.append(QStringLiteral("?%1").arg(i));
        sql = names.isEmpty()
                  ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(Connection::quoted(table_))
                  : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                        .arg(Connection::quoted(table_), names.join(QLatin1Char(',')),
                             places.join(QLatin1Char(',')));
    } else {
        for (qsizetype i = 0; i < names.size(); ++i)
            names[i] += QStringLiteral(" = ?%1").arg(i + 1);
        sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?%3")
                  .arg(Connection::quoted(table_), names.join(QLatin1Char(',')))
                  .arg(names.size() + 1);
    }
    Status status;
    Statement* write = connection_->cached(sql, &status);
    if (!write)
        return status;
    StatementScope scope(write);
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (Status bound = write->bind(int(i + 1), values[i].second); !bound)
            return bound;
    }
    if (row) {
        if (Status bound = write->bind(int(values.size() + 1), *row); !bound)
            return bound;
    }
    write->step(&status);
    return status;
}

void View::cancelUpdate() {
    editMode_ = EditMode::None;
    pending_.clear();
}

Status View::remove() {
    if (!isUpdatable())
        return Status::failure(errors::NotUpdatable, QStringLiteral("view cannot be changed"));
    const std::optional<qint64> row = currentRow();
    if (!row)
        return noCurrentRecord();
    Status status;
    Statement* erase = connection_->cached(
        QStringLiteral("DELETE FROM %1 WHERE rowid = ?1").arg(Connection::quoted(table_)),
        &status);
    if (!erase)
        return status;
    StatementScope scope(erase);
    erase->bind(1, *row);
    erase->step(&status);
    if (!status)
        return status;
    keys_.erase(keys_.begin() + pos_);
    onDeleted_ = true;
    return {};
}

Bookmark View::bookmark() { return currentRow().value_or(0); }

Status View::setBookmark(Bookmark mark) {
    if (Status ready = ensureKeys(); !ready)
        return ready;
    const auto found = std::find(keys_.begin(), keys_.end(), mark);
    if (found == keys_.end())
        return Status::failure(errors::NoCurrentRecord, QStringLiteral("bookmark not valid"));
    pos_ = found - keys_.begin();
    onDeleted_ = false;
    return {};
}

std::optional<qint64> View::rowToRead(Status* status) {
    const std::optional<qint64> row = currentRow();
    if (!row)
        *status = isOpen() ? noCurrentRecord() : closedStatus();
    return row;
}

QVariant View::value(const QString& name, Status* status) {
    Status local;
    Status& result = status ? *status : local;
    const FieldDef* field = findField(name);
    if (!field) {
        result = Status::failure(errors::NoSuchField, QStringLiteral("no field %1").arg(name));
        return {};
    }
    for (const auto& [pendingName, pendingValue] : pending_) {
        if (pendingName == field->name)
            return pendingValue;
    }
    const std::optional<qint64> row = rowToRead(&result);
    return row ? readRecordField(*connection_, table_, *field, *row, &result) : QVariant();
}

qint64 View::fieldSize(const QString& name, Status* status) {
    Status local;
    Status& result = status ? *status : local;
    const FieldDef* field = findField(name);
    if (!field) {
        result = Status::failure(errors::NoSuchField, QStringLiteral("no field %1").arg(name));
        return -1;
    }
    const std::optional<qint64> row = rowToRead(&result);
    return row ? recordFieldSize(*connection_, table_, *field, *row, &result) : -1;
}

// The records are read again when next needed, so that a run of writes (an import of
// thousands of pages) reads them once, not once per write.
Status View::requery() {
    if (!isOpen())
        return closedStatus();
    keysLoaded_ = false;
    onDeleted_ = false;
    return {};
}

} // namespace folimar::database
