#include "settings/VocimarSettingsFile.h"

#include "settings/LaterSettings.h"
#include "settings/SettingsFields.h"

#include <array>

namespace folimar::settings {

namespace {

const std::array<SettingsField, 7> VocimarFields{
    &Settings::CharacterPath, &Settings::CharacterSize, &Settings::RepeatMode,
    &Settings::AgentLeft,     &Settings::AgentTop,      &Settings::LastFindText,
    &Settings::CapsAsSmall,
};

} // namespace

QString VocimarSettingsFilePath(const QString& programFolder) {
    return programFolder + QLatin1String("/Vocimar.ini");
}

QByteArray VocimarSettingsLine(const Settings& settings) {
    return WriteSettingsFields(VocimarFields, settings);
}

void LoadVocimarSettings(Settings& settings, const platform::ProgramLocations& locations) {
    const QString path = VocimarSettingsFilePath(locations.ProgramFolder);
    ReadSettingsFields(ReadSettingsFile(path), VocimarFields, settings);
    LoadLaterSettings(settings, LaterSettingsPath(path));
}

bool SaveVocimarSettings(const Settings& settings, const platform::ProgramLocations& locations) {
    const QString path = VocimarSettingsFilePath(locations.ProgramFolder);
    const bool lineWritten = WriteSettingsFile(path, VocimarSettingsLine(settings));
    return SaveLaterSettings(settings, LaterSettingsPath(path)) && lineWritten;
}

} // namespace folimar::settings
