#pragma once

#include "platform/character/Voice.h"
#include "platform/character/VoiceSettings.h"

#include <QStringList>
#include <map>
#include <memory>

class QTextToSpeech;

namespace folimar::character {

// Where voices come from: the engines on offer, their voices, and a voice made from the
// user's settings. Characters and the options window are handed one.
class VoiceProvider {
public:
    virtual ~VoiceProvider();
    // Engine names; the first is the default.
    virtual QStringList engines() const = 0;
    virtual QStringList voices(const QString& engine) const = 0;
    virtual std::unique_ptr<Voice> create(const VoiceSettings& settings) const = 0;
};

// Qt's speech engines, with the silent voice as the engine "silent". The default engine is
// speech-dispatcher when its daemon answers, else flite.
class QtVoiceProvider final : public VoiceProvider {
public:
    QStringList engines() const override;
    QStringList voices(const QString& engine) const override;
    std::unique_ptr<Voice> create(const VoiceSettings& settings) const override;

    static QString defaultEngine();

private:
    // One engine instance per engine name, shared by every voice made from it.
    std::shared_ptr<QTextToSpeech> engine(const QString& name) const;

    mutable std::map<QString, std::weak_ptr<QTextToSpeech>> engines_;
};

// Only the silent voice, at a pace of its own: for tests and machines without speech.
class SilentVoiceProvider final : public VoiceProvider {
public:
    explicit SilentVoiceProvider(double wordsPerSecond);
    QStringList engines() const override;
    QStringList voices(const QString& engine) const override;
    std::unique_ptr<Voice> create(const VoiceSettings& settings) const override;

private:
    double wordsPerSecond_;
};

} // namespace folimar::character
