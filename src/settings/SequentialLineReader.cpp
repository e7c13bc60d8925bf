#include "settings/SequentialLineReader.h"

#include <limits>

namespace folimar::settings {

namespace {

bool isLineEnd(QChar c) {
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

bool isSeparator(QChar c) {
    return c == QLatin1Char(',') || isLineEnd(c);
}

} // namespace

SequentialLineReader::SequentialLineReader(const QByteArray& bytes)
    : text_(QString::fromUtf8(bytes)) {}

void SequentialLineReader::skipToSeparator() {
    while (pos_ < text_.size() && !isSeparator(text_.at(pos_)))
        ++pos_;
    if (pos_ < text_.size())
        ++pos_;
}

std::optional<SequentialLineReader::Item> SequentialLineReader::next() {
    while (pos_ < text_.size() && text_.at(pos_).isSpace())
        ++pos_;
    if (pos_ == text_.size())
        return std::nullopt;
    Item item;
    if (text_.at(pos_) == QLatin1Char('"')) {
        const qsizetype close = text_.indexOf(QLatin1Char('"'), pos_ + 1);
        if (close < 0)
            return std::nullopt;
        item.text = text_.mid(pos_ + 1, close - pos_ - 1);
        item.quoted = true;
        pos_ = close + 1;
    } else {
        const qsizetype start = pos_;
        while (pos_ < text_.size() && !isSeparator(text_.at(pos_)))
            ++pos_;
        item.text = text_.mid(start, pos_ - start).trimmed();
    }
    skipToSeparator();
    return item;
}

std::optional<qint64> SequentialLineReader::nextNumber(qint64 lowest, qint64 highest) {
    const auto item = next();
    bool ok = item && !item->quoted;
    // An empty item reads as 0.
    const qint64 number = ok && !item->text.isEmpty() ? item->text.toLongLong(&ok) : 0;
    if (!ok || number < lowest || number > highest)
        return std::nullopt;
    return number;
}

bool SequentialLineReader::readText(QString& value) {
    const auto item = next();
    if (!item)
        return false;
    value = item->text;
    return true;
}

bool SequentialLineReader::readNumber(qint16& value) {
    const auto number =
        nextNumber(std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max());
    if (number)
        value = static_cast<qint16>(*number);
    return number.has_value();
}

bool SequentialLineReader::readNumber(qint32& value) {
    const auto number =
        nextNumber(std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
    if (number)
        value = static_cast<qint32>(*number);
    return number.has_value();
}

} // namespace folimar::settings
