#pragma once

#include "platform/character/CharacterArt.h"

#include <optional>

namespace folimar::character {

// Reads a character file (".acs", see data/characters/FORMAT.md). Such files come from
// anywhere: anything damaged, oversized or reaching outside the file's folder is refused
// with a message, before any of it is used.
class CharacterFileReader {
public:
    static constexpr qint64 MaxFileBytes = 1024 * 1024;
    static constexpr qint64 MaxPictureBytes = 512 * 1024;
    static constexpr qint64 MaxTotalPictureBytes = 8 * 1024 * 1024;
    static constexpr int MaxFrames = 256;
    static constexpr int MaxLayersPerFrame = 8;
    static constexpr int MaxAnimations = 64;
    static constexpr int MaxFramesPerAnimation = 1024;
    static constexpr int MinSide = 16;
    static constexpr int MaxSide = 1024;
    static constexpr int MinIntervalMs = 20;
    static constexpr int MaxIntervalMs = 10000;
    static constexpr int MaxNameLength = 64;

    static std::optional<CharacterArt> read(const QString& path, QString* error);
};

} // namespace folimar::character
