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
    // Kept physically after every other field, so that reading the others never walks
    // this field's overflow pages (a large picture). Fields are still reported in their
    // given order.
    bool storedLast = false;
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

    TableDef& field(const QString& fieldName, FieldType type, bool storedLast = false) {
        fields.append({fieldName, type, DefaultTextSize, storedLast});
        return *this;
    }
    TableDef& index(const QString& indexName, const QString& fieldName,
                    const QStringList& carried = {}) {
        indexes.append({indexName, fieldName, carried});
        return *this;
    }
};

} // namespace folimar::database
