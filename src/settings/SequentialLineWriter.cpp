#include "settings/SequentialLineWriter.h"

namespace folimar::settings {

void SequentialLineWriter::separate() {
    if (!empty_)
        line_ += ',';
    empty_ = false;
}

void SequentialLineWriter::writeText(const QString& value) {
    separate();
    QString text = value;
    text.replace(QLatin1Char('"'), QLatin1Char('\''));
    line_ += '"' + text.toUtf8() + '"';
}

void SequentialLineWriter::writeNumber(qint64 value) {
    separate();
    line_ += QByteArray::number(value);
}

} // namespace folimar::settings
