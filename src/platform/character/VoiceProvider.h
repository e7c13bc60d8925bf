#pragma once

#include "platform/character/Voice.h"
#include "platform/character/VoiceSettings.h"

#include <QStringList>
#include <functional>
#include <memory>

namespace folimar::character {

class EspeakSynthesizer;

// Where voices come from: the engines on offer, their voices, and a voice made from the
// user's settings. Characters and the options window are handed one.
class VoiceProvider {
public:
    using SilenceNotice = std::function<void(const QString& why)>;

    virtual ~VoiceProvider();
    // Called once, the first time no engine could speak and the silent voice stands in.
    void setSilenceNotice(SilenceNotice notice) { silenceNotice_ = std::move(notice); }
    // Engine names; the first is the default.
    virtual QStringList engines() const = 0;
    virtual QStringList voices(const QString& engine) const = 0;
    virtual std::unique_ptr<Voice> create(const VoiceSettings& settings) const = 0;

protected:
    void tellSilent(const QString& why) const;

private:
    SilenceNotice silenceNotice_;
    mutable bool toldSilent_ = false;
};

// The desktop's voices, in order of choice: espeak-ng speaking in our own process, the
// desktop's speech service (speech-dispatcher) when it answers and plays, and the silent
// voice ("silent") when nothing can speak; falling back to the silent voice is told once,
// with its reasons. The user's chosen engine is tried first, then the others in that order.
// The speech service comes second: recorded, it leaves 0.35-0.4 s between sentences (its
// module pauses at the end of each text) where espeak-ng in our process leaves about 0.05 s,
// and on a busy machine its own sound output broke sentences up.
// Qt's flite engine is not offered: it drops sentences ("Audio streaming error.").
class DesktopVoiceProvider final : public VoiceProvider {
public:
    DesktopVoiceProvider();
    ~DesktopVoiceProvider() override;

    QStringList engines() const override;
    QStringList voices(const QString& engine) const override;
    std::unique_ptr<Voice> create(const VoiceSettings& settings) const override;

    QString defaultEngine() const;

private:
    std::unique_ptr<Voice> tryEngine(const QString& engine, const VoiceSettings& settings,
                                     QStringList& whys) const;
    // espeak-ng, opened when first asked for; null when it cannot start.
    std::shared_ptr<EspeakSynthesizer> espeak() const;

    mutable QString speechDispatcherWhy_; // set once the service failed
    mutable std::shared_ptr<EspeakSynthesizer> espeak_;
    mutable QString espeakWhy_;
    mutable bool espeakTried_ = false;
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
