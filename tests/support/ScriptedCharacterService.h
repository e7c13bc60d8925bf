#pragma once

#include "platform/character/Character.h"
#include "support/ScriptedCharacter.h"

#include <QHash>
#include <QPointer>
#include <QSet>
#include <QStringList>

namespace folimar::testing {

// Hands out scripted characters. Files named in `missing` fail to load (all of them with
// `unavailable`), as a missing or damaged file would.
class ScriptedCharacterService final : public character::CharacterService {
    Q_OBJECT
public:
    using CharacterService::CharacterService;

    character::Character* load(const QString& id, const QString& fileOrName,
                               QString* error) override;
    void unload(const QString& id) override;
    character::Character* character(const QString& id) const override;

    // The character loaded last (under any identifier), or nullptr.
    ScriptedCharacter* last() const { return last_; }

    // How new characters complete their requests.
    ScriptedCharacter::Completion completion = ScriptedCharacter::Completion::Manual;
    QSize characterSize{128, 128};
    QSet<QString> missing;
    bool unavailable = false;
    // When set, each load tells readingSilently with this reason, as a service whose
    // voices could not start does.
    QString silentBecause;
    QStringList loads;

private:
    QHash<QString, ScriptedCharacter*> loaded_;
    QPointer<ScriptedCharacter> last_;
};

} // namespace folimar::testing
