#include "settings/LaterSettings.h"

#include <QSaveFile>
#include <QSettings>

namespace folimar::settings {

namespace {

const QString SpokenWordMarkKey = QStringLiteral("SpokenWordMark");

} // namespace

QString LaterSettingsPath(const QString& settingsLinePath) {
    const QString stem = settingsLinePath.endsWith(QLatin1String(".ini"))
                             ? settingsLinePath.chopped(4)
                             : settingsLinePath;
    return stem + QLatin1String(".conf");
}

void LoadLaterSettings(Settings& settings, const QString& path) {
    const QSettings file(path, QSettings::IniFormat);
    bool ok = false;
    const int mark = file.value(SpokenWordMarkKey).toInt(&ok);
    if (ok && (mark == 0 || mark == 1))
        settings.SpokenWordMark = qint16(mark);
}

bool SaveLaterSettings(const Settings& settings, const QString& path) {
    // Written in full beside the old file and then put in its place, like the line.
    QByteArray text = "[General]\n";
    text += SpokenWordMarkKey.toLatin1() + '=' + QByteArray::number(settings.SpokenWordMark) + '\n';
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit();
}

} // namespace folimar::settings
