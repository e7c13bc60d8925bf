#include "platform/character/EspeakSynthesizer.h"

#include <algorithm>
#include <cmath>
#include <espeak-ng/speak_lib.h>
#include <optional>

namespace folimar::character {

namespace {

constexpr int ChunkMs = 40; // espeak-ng hands its audio over in pieces this long

// One utterance under way: where its words are, and who takes its audio.
struct Utterance {
    const EspeakSynthesizer::ChunkSink* sink = nullptr;
    std::vector<int> utf16At; // the UTF-16 position of each character espeak-ng counts
    int sampleRate = 0;
    bool abandoned = false;
};

int onSynthesis(short* wav, int count, espeak_EVENT* events) {
    auto* utterance = events ? static_cast<Utterance*>(events->user_data) : nullptr;
    if (!utterance)
        return 0;
    std::vector<WordMark> words;
    for (const espeak_EVENT* event = events; event->type != espeakEVENT_LIST_TERMINATED; ++event) {
        if (event->type != espeakEVENT_WORD)
            continue;
        const auto last = static_cast<int>(utterance->utf16At.size()) - 1;
        const int first = std::clamp(event->text_position - 1, 0, last);
        const int end = std::clamp(event->text_position - 1 + event->length, 0, last);
        words.push_back({std::int64_t(event->audio_position) * utterance->sampleRate / 1000,
                         utterance->utf16At[first],
                         utterance->utf16At[end] - utterance->utf16At[first]});
    }
    if (!wav || count <= 0) {
        if (words.empty())
            return 0;
        count = 0;
    }
    if (!(*utterance->sink)(std::span<const std::int16_t>(wav, std::size_t(count)), words)) {
        utterance->abandoned = true;
        return 1;
    }
    return 0;
}

// Sets the library's voice and parameters; called with the library locked. What is set is
// remembered there too, as the library holds it for every synthesizer.
void apply(const VoiceSettings& settings) {
    static std::optional<VoiceSettings> applied;
    if (applied == settings)
        return;
    if (settings.voice.isEmpty() ||
        espeak_SetVoiceByName(settings.voice.toUtf8().constData()) != EE_OK)
        espeak_SetVoiceByName("en");
    const double wordsPerMinute =
        espeakRATE_NORMAL * std::exp2(std::clamp(settings.rate, -1.0, 1.0));
    espeak_SetParameter(
        espeakRATE,
        std::clamp(int(std::lround(wordsPerMinute)), espeakRATE_MINIMUM, espeakRATE_MAXIMUM), 0);
    espeak_SetParameter(espeakPITCH,
                        int(std::lround(50 + 50 * std::clamp(settings.pitch, -1.0, 1.0))), 0);
    espeak_SetParameter(espeakVOLUME, int(std::lround(125 * std::clamp(settings.volume, 0.0, 1.0))),
                        0);
    applied = settings;
}

} // namespace

std::shared_ptr<EspeakSynthesizer> EspeakSynthesizer::open(QString* why) {
    // espeak-ng is one instance per process and cannot be started again once ended, so it
    // is started once and left running until the process ends.
    static const int rate = [] {
        const int started = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, ChunkMs, nullptr,
                                              espeakINITIALIZE_DONT_EXIT);
        if (started > 0)
            espeak_SetSynthCallback(onSynthesis);
        return started;
    }();
    if (rate <= 0) {
        if (why)
            *why = QStringLiteral("espeak-ng could not start (are its voice data installed?)");
        return nullptr;
    }
    return std::shared_ptr<EspeakSynthesizer>(new EspeakSynthesizer(rate));
}

EspeakSynthesizer::EspeakSynthesizer(int sampleRate) : sampleRate_(sampleRate) {}

std::mutex& EspeakSynthesizer::library() {
    static std::mutex mutex;
    return mutex;
}

QStringList EspeakSynthesizer::voices() const {
    QStringList names;
    const espeak_VOICE** list = espeak_ListVoices(nullptr);
    for (; list && *list; ++list)
        names << QString::fromUtf8((*list)->name);
    return names;
}

int EspeakSynthesizer::msPerWord(double rate) {
    const double wordsPerMinute = espeakRATE_NORMAL * std::exp2(std::clamp(rate, -1.0, 1.0));
    return static_cast<int>(std::lround(60000.0 / wordsPerMinute));
}

bool EspeakSynthesizer::synthesize(const QString& text, const VoiceSettings& settings,
                                   const ChunkSink& sink) {
    const std::lock_guard lock(library());
    apply(settings);
    Utterance utterance;
    utterance.sink = &sink;
    utterance.sampleRate = sampleRate_;
    for (int i = 0; i < text.size(); ++i) {
        utterance.utf16At.push_back(i);
        if (text[i].isHighSurrogate() && i + 1 < text.size())
            ++i;
    }
    utterance.utf16At.push_back(int(text.size()));
    const QByteArray utf8 = text.toUtf8();
    const espeak_ERROR result =
        espeak_Synth(utf8.constData(), std::size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0,
                     espeakCHARS_UTF8, nullptr, &utterance);
    return result == EE_OK && !utterance.abandoned;
}

SpokenAudio EspeakSynthesizer::synthesizeToBuffer(const QString& text,
                                                  const VoiceSettings& settings) {
    SpokenAudio audio;
    audio.sampleRate = sampleRate_;
    synthesize(text, settings,
               [&audio](std::span<const std::int16_t> samples, const std::vector<WordMark>& words) {
                   audio.samples.insert(audio.samples.end(), samples.begin(), samples.end());
                   audio.words.insert(audio.words.end(), words.begin(), words.end());
                   return true;
               });
    return audio;
}

} // namespace folimar::character
