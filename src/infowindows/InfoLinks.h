#pragma once

#include <QString>

namespace folimar::infowindows {

// The web pages the information windows point at.
inline constexpr auto ProgramPageAddress = "https://folimar.example.org/";
inline constexpr auto MakerPageAddress = "https://folimar.example.org/team/";
inline constexpr auto CharactersPageAddress = "https://folimar.example.org/characters/";
inline constexpr auto MoreCharactersPageAddress = "https://folimar.example.org/characters/more/";

// The user's own characters folder as the user would type it ("~/.local/share/...").
QString userCharactersFolderForDisplay();

} // namespace folimar::infowindows
