#include "platform/character/VoiceProvider.h"

#include "platform/character/CharacterLog.h"
#include "platform/character/QtSpeechVoice.h"
#include "platform/character/SilentVoice.h"

#include <QTextToSpeech>
#include <QVoice>

namespace folimar::character {

namespace {

const QString SpeechDispatcher = QStringLiteral("speechd");
const QString Flite = QStringLiteral("flite");
const QString Silent = QStringLiteral("silent");

} // namespace

VoiceProvider::~VoiceProvider() = default;

QStringList QtVoiceProvider::engines() const {
    QStringList names;
    const QStringList available = QTextToSpeech::availableEngines();
    for (const QString& preferred : {SpeechDispatcher, Flite}) {
        if (available.contains(preferred))
            names << preferred;
    }
    for (const QString& other : available) {
        if (!names.contains(other))
            names << other;
    }
    names << Silent;
    return names;
}

QStringList QtVoiceProvider::voices(const QString& engine) const {
    if (engine == Silent)
        return {};
    const std::shared_ptr<QTextToSpeech> speech =
        this->engine(engine.isEmpty() ? defaultEngine() : engine);
    QStringList names;
    if (speech->state() == QTextToSpeech::Error)
        return names;
    for (const QVoice& voice : speech->availableVoices())
        names << voice.name();
    return names;
}

std::unique_ptr<Voice> QtVoiceProvider::create(const VoiceSettings& settings) const {
    const QString engine = settings.engine.isEmpty() ? defaultEngine() : settings.engine;
    if (engine == Silent || !QTextToSpeech::availableEngines().contains(engine)) {
        qCInfo(characterLog) << "no speech engine" << engine << "- speaking silently";
        return std::make_unique<SilentVoice>(settings.rate);
    }
    VoiceSettings chosen = settings;
    chosen.engine = engine;
    return std::make_unique<QtSpeechVoice>(this->engine(engine), chosen);
}

std::shared_ptr<QTextToSpeech> QtVoiceProvider::engine(const QString& name) const {
    if (std::shared_ptr<QTextToSpeech> shared = engines_[name].lock())
        return shared;
    auto created = std::make_shared<QTextToSpeech>(name);
    engines_[name] = created;
    return created;
}

QString QtVoiceProvider::defaultEngine() {
    const QStringList available = QTextToSpeech::availableEngines();
    if (available.contains(SpeechDispatcher)) {
        const QTextToSpeech probe(SpeechDispatcher);
        if (probe.state() != QTextToSpeech::Error)
            return SpeechDispatcher;
    }
    if (available.contains(Flite))
        return Flite;
    return available.isEmpty() ? Silent : available.first();
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
