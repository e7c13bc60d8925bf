#pragma once

#include "settings/Settings.h"

#include <QString>

namespace folimar::settings {

// The choices added after the settings line took its fixed form, kept as named values in
// a small file beside it ("Folimar.conf" beside "Folimar.ini"), so that the line stays
// as other copies of the program read it.
QString LaterSettingsPath(const QString& settingsLinePath);

// Reads the file; a missing file, a missing value or one out of range keeps what
// `settings` holds.
void LoadLaterSettings(Settings& settings, const QString& path);
// Replaces the file as a whole; false, with the old file untouched, when it cannot be
// written.
bool SaveLaterSettings(const Settings& settings, const QString& path);

} // namespace folimar::settings
