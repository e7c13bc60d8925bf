#include "settings/SettingsFile.h"

#include "platform/paths/PathNames.h"
#include "settings/LaterSettings.h"
#include "settings/SettingsFields.h"

#include <array>

namespace folimar::settings {

namespace {

const std::array<SettingsField, 30> FolimarFields{
    &Settings::BookPath,          &Settings::CharacterPath, &Settings::CharacterSize,
    &Settings::PlayTopicsMode,    &Settings::TopicIndex,    &Settings::ReadPos,
    &Settings::AgentStartPos,     &Settings::RepeatMode,    &Settings::PasteQuality,
    &Settings::WindowArrangement, &Settings::AgentLeft,     &Settings::AgentTop,
    &Settings::ReaderTop,         &Settings::ReaderLeft,    &Settings::ReaderWidth,
    &Settings::ReaderHeight,      &Settings::BookTop,       &Settings::BookLeft,
    &Settings::BookWidth,         &Settings::BookHeight,    &Settings::ReaderWindowState,
    &Settings::BookWindowState,   &Settings::LastFindText,  &Settings::CapsAsSmall,
    &Settings::DefaultZoom,       &Settings::PlayAtStartup, &Settings::PrevBookPath,
    &Settings::PrevTopicIndex,    &Settings::PrevReadPos,   &Settings::UserName,
};

} // namespace

QString SettingsFilePath(const QString& programFolder) {
    return programFolder + QLatin1String("/Folimar.ini");
}

QByteArray FolimarSettingsLine(const Settings& settings) {
    return WriteSettingsFields(FolimarFields, settings);
}

int ReadFolimarSettingsLine(const QByteArray& line, Settings& settings) {
    return ReadSettingsFields(line, FolimarFields, settings);
}

void LoadSettings(Settings& settings, platform::ProgramLocations& locations) {
    settings.PasteQuality = QStringLiteral("75");
    settings.CharacterPath = QStringLiteral("Genie");
    const QString path = SettingsFilePath(locations.ProgramFolder);
    ReadFolimarSettingsLine(ReadSettingsFile(path), settings);
    LoadLaterSettings(settings, LaterSettingsPath(path));
    const QString bookFolder = platform::FolderOf(settings.BookPath);
    if (!bookFolder.isEmpty() && settings.BookPath != locations.untitledBookPath())
        locations.LastFolder = bookFolder;
}

bool SaveSettings(Settings& settings, const platform::ProgramLocations& locations) {
    settings.PrevBookPath = settings.BookPath;
    settings.PrevTopicIndex = settings.TopicIndex;
    settings.PrevReadPos = settings.ReadPos;
    const QString path = SettingsFilePath(locations.ProgramFolder);
    const bool lineWritten = WriteSettingsFile(path, FolimarSettingsLine(settings));
    return SaveLaterSettings(settings, LaterSettingsPath(path)) && lineWritten;
}

} // namespace folimar::settings
