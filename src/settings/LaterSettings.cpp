#include "settings/LaterSettings.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>

namespace folimar::settings {

namespace {

const QString SpokenWordMarkKey = QStringLiteral("SpokenWordMark");
const QString SentenceEndsKey = QStringLiteral("SentenceEnds");

// Far more than the file ever holds: a larger file is not ours and is left unread.
constexpr qint64 MostBytes = 64 * 1024;

// The file's "name=value" lines. Read here rather than through QSettings, whose shared
// cache can hand back an older content of a file rewritten within the same instant and
// at the same size.
QHash<QString, QByteArray> readValues(const QString& path) {
    QHash<QString, QByteArray> values;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MostBytes)
        return values;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals > 0)
            values.insert(QString::fromUtf8(line.left(equals).trimmed()),
                          line.mid(equals + 1).trimmed());
    }
    return values;
}

// A yes/no choice kept as 0 or 1; anything else keeps `choice` as it is.
void loadChoice(const QHash<QString, QByteArray>& values, const QString& key, qint16& choice) {
    bool ok = false;
    const int value = values.value(key).toInt(&ok);
    if (ok && (value == 0 || value == 1))
        choice = qint16(value);
}

} // namespace

QString LaterSettingsPath(const QString& settingsLinePath) {
    const QString stem = settingsLinePath.endsWith(QLatin1String(".ini"))
                             ? settingsLinePath.chopped(4)
                             : settingsLinePath;
    return stem + QLatin1String(".conf");
}

void LoadLaterSettings(Settings& settings, const QString& path) {
    const QHash<QString, QByteArray> values = readValues(path);
    loadChoice(values, SpokenWordMarkKey, settings.SpokenWordMark);
    loadChoice(values, SentenceEndsKey, settings.SentenceEnds);
}

bool SaveLaterSettings(const Settings& settings, const QString& path) {
    // Written in full beside the old file and then put in its place, like the line.
    QByteArray text = "[General]\n";
    text += SpokenWordMarkKey.toLatin1() + '=' + QByteArray::number(settings.SpokenWordMark) + '\n';
    text += SentenceEndsKey.toLatin1() + '=' + QByteArray::number(settings.SentenceEnds) + '\n';
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit();
}

} // namespace folimar::settings
