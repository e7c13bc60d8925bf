#pragma once

#include "platform/paths/ProgramLocations.h"
#include "settings/Settings.h"

#include <QByteArray>
#include <QString>

namespace folimar::settings {

// "Vocimar.ini", kept in Folimar's program folder: CharacterPath, CharacterSize,
// RepeatMode, AgentLeft, AgentTop, LastFindText and CapsAsSmall on one line, in the same
// form as Folimar's settings line.
QString VocimarSettingsFilePath(const QString& programFolder);

QByteArray VocimarSettingsLine(const Settings& settings);

// Reads the seven fields as far as they can be read; the others keep their values.
void LoadVocimarSettings(Settings& settings, const platform::ProgramLocations& locations);
// Replaces the file as a whole; false, with the old file untouched, when it cannot be written.
bool SaveVocimarSettings(const Settings& settings, const platform::ProgramLocations& locations);

} // namespace folimar::settings
