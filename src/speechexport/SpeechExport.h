#pragma once

#include "platform/character/VoiceSettings.h"
#include "sentences/SentenceEnds.h"

#include <QList>
#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>

namespace folimar::character {
class EspeakSynthesizer;
}

namespace folimar::speechexport {

// One stretch of the recording with a mark of its own: a topic of a book, or a pasted text.
struct SpokenChapter {
    QString title;
    QString text;
};

enum class AudioFormat { Wav, OggOpus };

// By the file name's extension: ".wav", or ".opus" / ".ogg"; none for anything else.
std::optional<AudioFormat> audioFormatOf(const QString& path);

struct ExportRequest {
    QString outputPath;
    QString title; // the recording's title (Ogg Opus)
    QList<SpokenChapter> chapters;
    character::VoiceSettings voice; // the user's voice, rate, pitch and volume
    bool capsAsSmall = false;
    sentences::SentenceEnds sentenceEnds = sentences::SentenceEnds::FullStops;
};

// How an export ended.
struct JobOutcome {
    enum class Status { Saved, Cancelled, Failed };
    Status status = Status::Failed;
    QString message; // for Failed: what went wrong, for the user
};

struct ExportOutcome : JobOutcome {
    std::int64_t samples = 0; // the length of what was saved
    int sampleRate = 0;
};

// Quiet put after each sentence but a topic's last: the voice ends a sentence with some
// 40 ms of its own, and with these the sentences stand about 150 ms apart, as when they
// are read aloud.
constexpr int SentencePauseMs = 110;
// Quiet between two topics.
constexpr int TopicPauseMs = 1000;

// A sentence as the reader shows it (without the white space that parts it from the one
// before) and as the voice says it.
struct SentenceToSpeak {
    QString shown;
    QString spoken;
    bool startsLine = false; // a line break parts it from the sentence before
};

// The sentences of `text` as reading aloud splits them; blank ones, which make no sound,
// are left out.
QList<SentenceToSpeak> sentencesToSpeak(const QString& text, sentences::SentenceEnds rule,
                                        bool capsAsSmall);

// The share of the export done so far, 0..1.
using ExportProgress = std::function<void(double)>;

// The settings that speak in espeak-ng: a voice chosen for another engine is not one of its
// voices, so its default voice speaks instead, at the user's rate, pitch and volume.
character::VoiceSettings espeakSettingsOf(const character::VoiceSettings& chosen);

// Speaks the chapters sentence by sentence, as reading aloud splits them, into the file.
// The file appears only when it is complete: a failed or cancelled export leaves whatever
// was there before (nothing, or the older file). Runs on the caller's thread; `cancelled`
// may be set from any other.
ExportOutcome exportSpeech(character::EspeakSynthesizer& synthesizer, const ExportRequest& request,
                           const ExportProgress& progress, const std::atomic<bool>& cancelled);

} // namespace folimar::speechexport
