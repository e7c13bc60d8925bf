#pragma once

#include "platform/character/Character.h"
#include "platform/character/VoiceProvider.h"

#include <QHash>
#include <QPointer>
#include <QStringList>
#include <memory>

namespace folimar::character {

class DesktopCharacter;

// Loads character files into desktop characters. A bare name ("Genie" or "Genie.acs") is
// looked up in the given folders in order; anything with a "/" is a path taken as it is.
class DesktopCharacterService final : public CharacterService {
    Q_OBJECT
public:
    // The installed characters beside the program, then the user's own, Qt's speech
    // engines, and the voice file in the user's configuration folder.
    explicit DesktopCharacterService(QObject* parent = nullptr);
    DesktopCharacterService(QStringList characterFolders, std::unique_ptr<VoiceProvider> voices,
                            QString voiceSettingsPath, QObject* parent = nullptr);
    ~DesktopCharacterService() override;

    Character* load(const QString& id, const QString& fileOrName, QString* error) override;
    void unload(const QString& id) override;
    Character* character(const QString& id) const override;

    // `<appDir>/characters`, `<appDir>/../share/folimar/characters`,
    // `$XDG_DATA_HOME/folimar/characters`.
    static QStringList defaultCharacterFolders();
    // The file a name or path stands for; empty when a bare name is in none of the folders.
    QString locate(const QString& fileOrName) const;

private:
    QStringList folders_;
    std::unique_ptr<VoiceProvider> voices_;
    QString voiceSettingsPath_;
    QHash<QString, QPointer<DesktopCharacter>> characters_;
};

} // namespace folimar::character
