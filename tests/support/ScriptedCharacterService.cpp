#include "support/ScriptedCharacterService.h"

#include <QFileInfo>

namespace folimar::testing {

character::Character* ScriptedCharacterService::load(const QString& id, const QString& fileOrName,
                                                     QString* error) {
    loads.append(fileOrName);
    if (unavailable || missing.contains(fileOrName)) {
        if (error)
            *error = QStringLiteral("no such character: ") + fileOrName;
        return nullptr;
    }
    unload(id);
    auto* character =
        new ScriptedCharacter(QFileInfo(fileOrName).completeBaseName(), characterSize, this);
    character->completion = completion;
    loaded_.insert(id, character);
    last_ = character;
    if (!silentBecause.isEmpty())
        Q_EMIT readingSilently(silentBecause);
    return character;
}

void ScriptedCharacterService::unload(const QString& id) {
    delete loaded_.take(id);
}

character::Character* ScriptedCharacterService::character(const QString& id) const {
    return loaded_.value(id);
}

} // namespace folimar::testing
