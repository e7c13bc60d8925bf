#include "platform/character/VoiceProvider.h"

#include "platform/character/CharacterLog.h"
#include "platform/character/EspeakSynthesizer.h"
#include "platform/character/EspeakVoice.h"
#include "platform/character/SilentVoice.h"
#include "platform/character/SpeechDispatcherVoice.h"

#include <utility>

namespace folimar::character {

namespace {

const QString SpeechDispatcher = QStringLiteral("speech-dispatcher");
const QString Espeak = QStringLiteral("espeak-ng");
const QString Silent = QStringLiteral("silent");
// How long the speech service may take to play a moment of silence before it is taken for
// one without a sound device.
constexpr int SpeechDispatcherTrialMs = 3000;

} // namespace

VoiceProvider::~VoiceProvider() = default;

void VoiceProvider::tellSilent(const QString& why) const {
    if (std::exchange(toldSilent_, true))
        return;
    qCWarning(characterLog).noquote()
        << "No voice could be started: reading silently (" + why + ")";
    if (silenceNotice_)
        silenceNotice_(why);
}

DesktopVoiceProvider::DesktopVoiceProvider() = default;
DesktopVoiceProvider::~DesktopVoiceProvider() = default;

QStringList DesktopVoiceProvider::engines() const {
    return {Espeak, SpeechDispatcher, Silent};
}

QStringList DesktopVoiceProvider::voices(const QString& engine) const {
    if (engine == SpeechDispatcher)
        return SpeechDispatcherVoice(VoiceSettings{}).voices();
    if (engine != Espeak)
        return {};
    const auto synthesizer = espeak();
    return synthesizer ? synthesizer->voices() : QStringList();
}

std::unique_ptr<Voice> DesktopVoiceProvider::create(const VoiceSettings& settings) const {
    if (settings.engine == Silent)
        return std::make_unique<SilentVoice>(settings.rate);
    QStringList order = engines();
    order.removeAll(Silent);
    // The chosen engine first; one unset, or no longer offered, leaves the order of choice.
    if (order.removeAll(settings.engine) > 0)
        order.prepend(settings.engine);
    QStringList whys;
    for (const QString& engine : order) {
        VoiceSettings chosen = settings;
        if (chosen.engine != engine)
            chosen = {engine, {}, settings.rate, settings.pitch, settings.volume};
        if (auto voice = tryEngine(engine, chosen, whys))
            return voice;
    }
    tellSilent(whys.join(QStringLiteral("; ")));
    return std::make_unique<SilentVoice>(settings.rate);
}

std::unique_ptr<Voice> DesktopVoiceProvider::tryEngine(const QString& engine,
                                                       const VoiceSettings& settings,
                                                       QStringList& whys) const {
    if (engine == SpeechDispatcher) {
        // A service that failed is not waited for again.
        if (speechDispatcherWhy_.isEmpty()) {
            auto voice = std::make_unique<SpeechDispatcherVoice>(settings);
            if (voice->soundsOut(SpeechDispatcherTrialMs))
                return voice;
            speechDispatcherWhy_ = voice->why();
        }
        whys << engine + ": " + speechDispatcherWhy_;
        return nullptr;
    }
    const auto synthesizer = espeak();
    if (!synthesizer) {
        whys << engine + ": " + espeakWhy_;
        return nullptr;
    }
    auto voice = std::make_unique<EspeakVoice>(synthesizer, settings);
    if (voice->isAudible())
        return voice;
    whys << engine + ": " + voice->why();
    return nullptr;
}

std::shared_ptr<EspeakSynthesizer> DesktopVoiceProvider::espeak() const {
    if (!std::exchange(espeakTried_, true))
        espeak_ = EspeakSynthesizer::open(&espeakWhy_);
    return espeak_;
}

QString DesktopVoiceProvider::defaultEngine() const {
    return Espeak;
}

SilentVoiceProvider::SilentVoiceProvider(double wordsPerSecond) : wordsPerSecond_(wordsPerSecond) {}

QStringList SilentVoiceProvider::engines() const {
    return {Silent};
}

QStringList SilentVoiceProvider::voices(const QString&) const {
    return {};
}

std::unique_ptr<Voice> SilentVoiceProvider::create(const VoiceSettings& settings) const {
    return std::make_unique<SilentVoice>(settings.rate, wordsPerSecond_);
}

} // namespace folimar::character
