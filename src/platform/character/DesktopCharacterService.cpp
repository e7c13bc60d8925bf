#include "platform/character/DesktopCharacterService.h"

#include "platform/character/CharacterFileReader.h"
#include "platform/character/CharacterStage.h"
#include "platform/character/DesktopCharacter.h"
#include "platform/character/SpeechBalloon.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace folimar::character {

DesktopCharacterService::DesktopCharacterService(QObject* parent)
    : DesktopCharacterService(defaultCharacterFolders(), std::make_unique<DesktopVoiceProvider>(),
                              VoiceSettings::defaultPath(), parent) {}

DesktopCharacterService::DesktopCharacterService(QStringList characterFolders,
                                                 std::unique_ptr<VoiceProvider> voices,
                                                 QString voiceSettingsPath, QObject* parent)
    : CharacterService(parent), folders_(std::move(characterFolders)), voices_(std::move(voices)),
      voiceSettingsPath_(std::move(voiceSettingsPath)) {
    voices_->setSilenceNotice([this](const QString& why) { Q_EMIT readingSilently(why); });
}

// Characters hold on to the voice provider: they go before it does.
DesktopCharacterService::~DesktopCharacterService() {
    for (const auto& loaded : std::as_const(characters_))
        delete loaded.data();
}

QStringList DesktopCharacterService::defaultCharacterFolders() {
    const QString appDir = QCoreApplication::applicationDirPath();
    return {appDir + "/characters", QDir::cleanPath(appDir + "/../share/folimar/characters"),
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                "/folimar/characters"};
}

QString DesktopCharacterService::locate(const QString& fileOrName) const {
    if (fileOrName.contains('/'))
        return fileOrName;
    const QString fileName =
        fileOrName.endsWith(".acs", Qt::CaseInsensitive) ? fileOrName : fileOrName + ".acs";
    for (const QString& folder : folders_) {
        const QFileInfo candidate(QDir(folder).filePath(fileName));
        if (candidate.isFile())
            return candidate.absoluteFilePath();
    }
    return {};
}

Character* DesktopCharacterService::load(const QString& id, const QString& fileOrName,
                                         QString* error) {
    unload(id);
    const QString path = locate(fileOrName.trimmed());
    if (fileOrName.trimmed().isEmpty() || path.isEmpty()) {
        if (error)
            *error = QStringLiteral("The character \"%1\" was not found in %2.")
                         .arg(fileOrName, folders_.join(", "));
        return nullptr;
    }
    auto art = CharacterFileReader::read(path, error);
    if (!art)
        return nullptr;
    auto* loaded = new DesktopCharacter(std::move(*art), *voices_, voiceSettingsPath_, this);
    characters_.insert(id, loaded);
    return loaded;
}

// Unloading may come from inside one of the character's own notifications, so the
// character goes away once control is back in the event loop; its windows close at once.
void DesktopCharacterService::unload(const QString& id) {
    const QPointer<DesktopCharacter> loaded = characters_.take(id);
    if (!loaded)
        return;
    loaded->stage().hide();
    loaded->balloon().hide();
    loaded->deleteLater();
}

Character* DesktopCharacterService::character(const QString& id) const {
    return characters_.value(id).data();
}

} // namespace folimar::character
