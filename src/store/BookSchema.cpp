#include "store/BookSchema.h"

namespace folimar::store::schema {

using database::FieldType;

database::TableDef bookTable() {
    database::TableDef table{Table, {}, {}};
    table.field(QStringLiteral("TopicNo"), FieldType::Integer16)
        .field(QStringLiteral("TopicName"), FieldType::Text)
        // Picture and text are kept apart: renumbering or renaming topics never rewrites them.
        .field(PictureField, FieldType::LongBinary, true)
        .field(TextField, FieldType::LongBinary, true)
        .field(QStringLiteral("NoteText"), FieldType::LongBinary);
    for (QLatin1String marker : MarkerFields)
        table.field(marker, FieldType::Text);
    // Each index carries the other list field: the topic lists read the indexes alone.
    return table.index(NoIdx, QStringLiteral("TopicNo"), {QStringLiteral("TopicName")})
        .index(NameIdx, QStringLiteral("TopicName"), {QStringLiteral("TopicNo")});
}

database::TableDef notesTable() {
    database::TableDef table{Table, {}, {}};
    table.field(QStringLiteral("TopicNo"), FieldType::Integer16)
        .field(QStringLiteral("TopicName"), FieldType::Text)
        .field(QStringLiteral("NoteText"), FieldType::LongBinary);
    return table.index(NoIdx, QStringLiteral("TopicNo")).index(NameIdx, QStringLiteral("TopicName"));
}

} // namespace folimar::store::schema
