#include "settings/VocimarSettingsFile.h"

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
    ReadSettingsFields(ReadSettingsFile(VocimarSettingsFilePath(locations.ProgramFolder)),
                       VocimarFields, settings);
}

bool SaveVocimarSettings(const Settings& settings, const platform::ProgramLocations& locations) {
    return WriteSettingsFile(VocimarSettingsFilePath(locations.ProgramFolder),
                             VocimarSettingsLine(settings));
}

} // namespace folimar::settings
