#include "bookexport/ReadAlongChoices.h"

#include "bookexport/EpubDocuments.h"
#include "recognition/RecognitionSettings.h"
#include "settings/Settings.h"

namespace folimar::bookexport {

ReadAlongChoices readAlongChoices(const settings::Settings& settings,
                                  const QString& recognitionSettingsPath) {
    ReadAlongChoices choices;
    choices.voice = character::VoiceSettings::load(character::VoiceSettings::defaultPath());
    choices.capsAsSmall = settings.CapsAsSmall == 1;
    choices.sentenceEnds = sentences::sentenceEndsOf(settings.SentenceEnds);
    choices.language = bookLanguageOf(
        recognition::RecognitionSettings::load(recognitionSettingsPath).languagesToRead());
    return choices;
}

} // namespace folimar::bookexport
