#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace folimar::database {

// The three kinds of field a book uses, numbered as the files have always named them.
enum class FieldType { Integer16 = 3, Text = 10, LongBinary = 11 };

inline constexpr int DefaultTextSize = 255;

struct FieldDef {
    QString name;
    FieldType type = FieldType::Text;
    int size = DefaultTextSize; // characters; only meaningful for text
    // Kept apart from the record, in a table of its own keyed by the record's row id
    // (RecordFields.h): changing the record's other fields never rewrites this field (a
    // large picture), and reading them never walks its pages. Long binary fields only.
    bool storedApart = false;
};

// An ascending index on one field, neither primary nor unique. `carried` fields ride
// along in the index (after the key) so that a list of them reads the index alone.
struct IndexDef {
    QString name;
    QString field;
    QStringList carried;
};

// A table as it is created: its fields in their given order, then its indexes.
struct TableDef {
    QString name;
    QList<FieldDef> fields;
    QList<IndexDef> indexes;

    TableDef& field(const QString& fieldName, FieldType type, bool storedApart = false) {
        fields.append({fieldName, type, DefaultTextSize, storedApart});
        return *this;
    }
    TableDef& index(const QString& indexName, const QString& fieldName,
                    const QStringList& carried = {}) {
        indexes.append({indexName, fieldName, carried});
        return *this;
    }
};

} // namespace folimar::database
