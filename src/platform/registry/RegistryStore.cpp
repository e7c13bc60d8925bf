#include "platform/registry/RegistryStore.h"

#include <QFile>
#include <QStandardPaths>
#include <QStringConverter>
#include <QStringList>
#include <optional>

namespace folimar::platform {

namespace {

// The value is read into a 256-byte buffer that also holds its terminating zero.
constexpr qsizetype MaxValueBytes = 255;
// A registry export of one program's keys is small; anything larger is not ours.
constexpr qint64 MaxStoreBytes = 16 * 1024 * 1024;

QStringList storeLines(const QString& storePath) {
    QFile file(storePath);
    if (file.size() > MaxStoreBytes || !file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    // Exports come as UTF-16 with a byte-order mark, or as 8-bit text.
    const auto encoding = QStringConverter::encodingForData(bytes).value_or(QStringConverter::Utf8);
    QStringDecoder decode(encoding);
    QString text = decode(bytes);
    if (decode.hasError())
        return {};
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text.split(QLatin1Char('\n'));
}

bool isHeader(const QString& line) {
    const QString header = line.trimmed();
    return header == QLatin1String("Windows Registry Editor Version 5.00") ||
           header == QLatin1String("REGEDIT4");
}

// Reads a quoted string with its \\ and \" escapes, starting at the opening quote at `pos`;
// leaves `pos` after the closing quote. Nothing when the quote is not closed or an escape
// is unknown.
std::optional<QString> quoted(const QString& line, qsizetype& pos) {
    QString text;
    for (++pos; pos < line.size(); ++pos) {
        const QChar c = line.at(pos);
        if (c == QLatin1Char('"')) {
            ++pos;
            return text;
        }
        if (c == QLatin1Char('\\')) {
            if (++pos == line.size())
                return std::nullopt;
            const QChar escaped = line.at(pos);
            if (escaped != QLatin1Char('\\') && escaped != QLatin1Char('"'))
                return std::nullopt;
            text += escaped;
        } else {
            text += c;
        }
    }
    return std::nullopt;
}

void skipSpaces(const QString& line, qsizetype& pos) {
    while (pos < line.size() && line.at(pos).isSpace())
        ++pos;
}

enum class ValueKind { Text, Deleted, OtherType, Malformed };

struct ValueLine {
    QString name; // "@" for the default value
    ValueKind kind = ValueKind::Malformed;
    QString text;
};

std::optional<ValueLine> parseValueLine(const QString& line) {
    ValueLine value;
    qsizetype pos = 0;
    if (line.startsWith(QLatin1Char('@'))) {
        value.name = QStringLiteral("@");
        pos = 1;
    } else if (line.startsWith(QLatin1Char('"'))) {
        const auto name = quoted(line, pos);
        if (!name)
            return std::nullopt;
        value.name = *name;
    } else {
        return std::nullopt;
    }
    skipSpaces(line, pos);
    if (pos == line.size() || line.at(pos) != QLatin1Char('='))
        return std::nullopt;
    ++pos;
    skipSpaces(line, pos);
    const QString data = line.mid(pos);
    if (data.startsWith(QLatin1Char('"'))) {
        qsizetype end = pos;
        const auto text = quoted(line, end);
        skipSpaces(line, end);
        if (text && end == line.size()) {
            value.kind = ValueKind::Text;
            value.text = *text;
        }
    } else if (data.trimmed() == QLatin1String("-")) {
        value.kind = ValueKind::Deleted;
    } else if (!data.isEmpty()) {
        value.kind = ValueKind::OtherType; // hex(2): expandable strings, dword:, hex:, ...
    }
    return value;
}

} // namespace

QString RegistryStorePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1String("/folimar/registry.reg");
}

QString ReadRegistryString(const QString& storePath, const QString& root, const QString& keyPath,
                           const QString& valueName) {
    const QStringList lines = storeLines(storePath);
    qsizetype i = 0;
    while (i < lines.size() && lines.at(i).trimmed().isEmpty())
        ++i;
    if (i == lines.size() || !isHeader(lines.at(i)))
        return {};

    const QString wantedKey = root + QLatin1Char('\\') + keyPath;
    const QString wantedName = valueName.isEmpty() ? QStringLiteral("@") : valueName;
    bool inKey = false;
    std::optional<QString> found; // the last assignment wins, as when the file is imported
    for (++i; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            const bool wellFormed = line.endsWith(QLatin1Char(']'));
            QString key = line.mid(1, line.size() - 2);
            const bool deletes = key.startsWith(QLatin1Char('-'));
            if (deletes)
                key.remove(0, 1);
            const bool named = wellFormed && key.compare(wantedKey, Qt::CaseInsensitive) == 0;
            if (named && deletes)
                found.reset();
            inKey = named && !deletes;
            continue;
        }
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        // Lines that are neither keys nor values (the continuation lines of hex data
        // among them) name nothing we read.
        const auto value = parseValueLine(line);
        if (!inKey || !value || value->name.compare(wantedName, Qt::CaseInsensitive) != 0)
            continue;
        switch (value->kind) {
        case ValueKind::Text:
            found = value->text;
            break;
        case ValueKind::Deleted:
            found.reset();
            break;
        case ValueKind::OtherType:
        case ValueKind::Malformed:
            found = QString();
            break;
        }
    }
    if (!found || found->toUtf8().size() > MaxValueBytes)
        return {};
    return *found;
}

} // namespace folimar::platform
