#include "settings/LaterSettings.h"

#include <QSaveFile>
#include <QSettings>

namespace folimar::settings {

namespace {

const QString SpokenWordMarkKey = QStringLiteral("SpokenWordMark");
const QString SentenceEndsKey = QStringLiteral("SentenceEnds");

// A yes/no choice kept as 0 or 1; anything else keeps `choice` as it is.
void loadChoice(const QSettings& file, const QString& key, qint16& choice) {
    bool ok = false;
    const int value = file.value(key).toInt(&ok);
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
    const QSettings file(path, QSettings::IniFormat);
    loadChoice(file, SpokenWordMarkKey, settings.SpokenWordMark);
    loadChoice(file, SentenceEndsKey, settings.SentenceEnds);
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
