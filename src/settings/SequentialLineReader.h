#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace folimar::settings {

// Reads the items of a settings line one by one: quoted or unquoted items separated by
// commas or line ends, leading spaces skipped; a quoted item ends at the next quote, and
// whatever follows it up to the next separator is ignored. A read that fails (no item
// left, a quote left open, text where a number belongs, a number out of range) returns
// false and leaves the value alone.
class SequentialLineReader {
public:
    explicit SequentialLineReader(const QByteArray& bytes);

    bool readText(QString& value);
    bool readNumber(qint16& value);
    bool readNumber(qint32& value);

private:
    struct Item {
        QString text;
        bool quoted = false;
    };
    std::optional<Item> next();
    std::optional<qint64> nextNumber(qint64 lowest, qint64 highest);
    void skipToSeparator();

    QString text_;
    qsizetype pos_ = 0;
};

} // namespace folimar::settings
