#pragma once

#include <QString>

namespace folimar::character {

// The user's choice of speech, kept in a small file of its own per user.
struct VoiceSettings {
    QString engine;      // "espeak-ng", "silent"; empty: the default engine
    QString voice;       // a voice name of the engine; empty: the engine's default
    double rate = 0.0;   // -1 (half speed) .. 0 (normal) .. 1 (twice normal)
    double pitch = 0.0;  // -1 .. 1
    double volume = 0.8; // 0 .. 1

    // `$XDG_CONFIG_HOME/folimar/voice.conf`.
    static QString defaultPath();
    // Reads the file; missing or odd values keep their defaults, out-of-range ones are clamped.
    static VoiceSettings load(const QString& path);
    bool save(const QString& path) const;

    friend bool operator==(const VoiceSettings&, const VoiceSettings&) = default;
};

} // namespace folimar::character
