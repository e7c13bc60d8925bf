#pragma once

#include "platform/paths/ProgramLocations.h"
#include "settings/Settings.h"

#include <QByteArray>
#include <QString>

namespace folimar::settings {

// "Folimar.ini" in the program folder: the 30 fields on one line.
QString SettingsFilePath(const QString& programFolder);

// The settings line as the file holds it.
QByteArray FolimarSettingsLine(const Settings& settings);
// Reads the fields of `line` into `settings` up to the first one that cannot be read;
// returns how many were read.
int ReadFolimarSettingsLine(const QByteArray& line, Settings& settings);

// Sets the defaults "75" and "Genie", then reads the settings file as far as it can be read
// (a missing or damaged file leaves the rest as it was). The folder of a remembered book
// other than the untitled one becomes `LastFolder`.
void LoadSettings(Settings& settings, platform::ProgramLocations& locations);

// Remembers the open book and place as the previous ones, then replaces the settings file
// as a whole. False, with the old file untouched, when it cannot be written.
bool SaveSettings(Settings& settings, const platform::ProgramLocations& locations);

} // namespace folimar::settings
