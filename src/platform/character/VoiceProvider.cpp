#include "platform/character/VoiceProvider.h"

#include "platform/character/CharacterLog.h"
#include "platform/character/EspeakSynthesizer.h"
#include "platform/character/EspeakVoice.h"
#include "platform/character/SilentVoice.h"

#include <utility>

namespace folimar::character {

namespace {

const QString Espeak = QStringLiteral("espeak-ng");
const QString Silent = QStringLiteral("silent");

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
    return {Espeak, Silent};
}

QStringList DesktopVoiceProvider::voices(const QString& engine) const {
    if (engine == Silent)
        return {};
    const auto synthesizer = espeak();
    return synthesizer ? synthesizer->voices() : QStringList();
}

std::unique_ptr<Voice> DesktopVoiceProvider::create(const VoiceSettings& settings) const {
    VoiceSettings chosen = settings;
    if (!engines().contains(chosen.engine))
        chosen.engine = Espeak; // unset, or an engine no longer offered
    if (chosen.engine == Silent)
        return std::make_unique<SilentVoice>(chosen.rate);
    const auto synthesizer = espeak();
    if (!synthesizer)
        return silent(chosen, espeakWhy_);
    auto voice = std::make_unique<EspeakVoice>(synthesizer, chosen);
    if (!voice->isAudible())
        return silent(chosen, voice->why());
    return voice;
}

std::unique_ptr<Voice> DesktopVoiceProvider::silent(const VoiceSettings& settings,
                                                    const QString& why) const {
    tellSilent(why);
    return std::make_unique<SilentVoice>(settings.rate);
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
