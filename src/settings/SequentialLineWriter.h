#pragma once

#include <QByteArray>
#include <QString>

namespace folimar::settings {

// Writes one line of a settings file: text items in double quotes, numbers in decimal
// without spaces, commas between the items, CR LF at the end, UTF-8.
class SequentialLineWriter {
public:
    // A double quote cannot stand inside a quoted item: it is written as a single quote.
    void writeText(const QString& value);
    void writeNumber(qint64 value);

    QByteArray line() const { return line_ + "\r\n"; }

private:
    void separate();

    QByteArray line_;
    bool empty_ = true;
};

} // namespace folimar::settings
