#include "platform/character/VoiceSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <algorithm>

namespace folimar::character {

namespace {

double clampedNumber(const QSettings& store, const char* key, double fallback, double low,
                     double high) {
    bool ok = false;
    const double value = store.value(key).toDouble(&ok);
    return ok ? std::clamp(value, low, high) : fallback;
}

} // namespace

QString VoiceSettings::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           "/folimar/voice.conf";
}

VoiceSettings VoiceSettings::load(const QString& path) {
    VoiceSettings settings;
    if (!QFileInfo::exists(path))
        return settings;
    const QSettings store(path, QSettings::IniFormat);
    settings.engine = store.value("engine").toString();
    settings.voice = store.value("voice").toString();
    settings.rate = clampedNumber(store, "rate", settings.rate, -1.0, 1.0);
    settings.pitch = clampedNumber(store, "pitch", settings.pitch, -1.0, 1.0);
    settings.volume = clampedNumber(store, "volume", settings.volume, 0.0, 1.0);
    return settings;
}

bool VoiceSettings::save(const QString& path) const {
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSettings store(path, QSettings::IniFormat);
    store.setValue("engine", engine);
    store.setValue("voice", voice);
    store.setValue("rate", rate);
    store.setValue("pitch", pitch);
    store.setValue("volume", volume);
    store.sync();
    return store.status() == QSettings::NoError;
}

} // namespace folimar::character
