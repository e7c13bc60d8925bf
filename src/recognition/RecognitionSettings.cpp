#include "recognition/RecognitionSettings.h"

#include "recognition/RecognitionLanguages.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSettings>
#include <QStandardPaths>

namespace folimar::recognition {

QString RecognitionSettings::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/folimar/recognition.conf");
}

RecognitionSettings RecognitionSettings::load(const QString& path) {
    RecognitionSettings settings;
    if (!QFileInfo::exists(path))
        return settings;
    const QSettings store(path, QSettings::IniFormat);
    const auto readSwitch = [&store](const char* key, bool& value) {
        const QVariant read = store.value(key);
        if (read.canConvert<bool>() && read.isValid())
            value = read.toBool();
    };
    readSwitch("readPastedPicture", settings.readPastedPicture);
    readSwitch("showSpokenSentence", settings.showSpokenSentence);
    readSwitch("straightenPastedPicture", settings.straightenPasted);
    readSwitch("markDoubtfulInText", settings.markDoubtfulInText);
    readSwitch("markDoubtfulOnPicture", settings.markDoubtfulOnPicture);
    settings.languages = store.value("languages").toString().trimmed();
    return settings;
}

bool RecognitionSettings::save(const QString& path) const {
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSettings store(path, QSettings::IniFormat);
    store.setValue("readPastedPicture", readPastedPicture);
    store.setValue("languages", languages);
    store.setValue("showSpokenSentence", showSpokenSentence);
    store.setValue("straightenPastedPicture", straightenPasted);
    store.setValue("markDoubtfulInText", markDoubtfulInText);
    store.setValue("markDoubtfulOnPicture", markDoubtfulOnPicture);
    store.sync();
    return store.status() == QSettings::NoError;
}

QString RecognitionSettings::languagesToRead() const {
    if (!languages.isEmpty())
        return languages;
    return defaultLanguage(installedLanguages(tessdataFolder()), QLocale());
}

} // namespace folimar::recognition
