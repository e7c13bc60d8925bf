#pragma once

#include "platform/character/VoiceSettings.h"
#include "sentences/SentenceEnds.h"

#include <QString>

namespace folimar::settings {
struct Settings;
}

namespace folimar::bookexport {

// How a read-along book speaks and what it shows.
struct ReadAlongChoices {
    character::VoiceSettings voice; // the user's voice, rate, pitch and volume
    bool capsAsSmall = false;
    sentences::SentenceEnds sentenceEnds = sentences::SentenceEnds::FullStops;
    QString language = QStringLiteral("und"); // BCP 47
    bool pictures = false;                    // each page's picture after its text
};

// The user's choices: the voice they chose, the reading options, and the language the
// pages are recognised in (from the recognition settings at `recognitionSettingsPath`).
ReadAlongChoices readAlongChoices(const settings::Settings& settings,
                                  const QString& recognitionSettingsPath);

} // namespace folimar::bookexport
