#pragma once

#include "platform/character/Voice.h"

#include <QTimer>

namespace folimar::character {

// Says nothing, but takes as long as reading the words aloud would: about three words a
// second at the normal rate, scaled by the rate. Used where no speech engine or audio
// device is there, so that reading still moves on.
class SilentVoice final : public Voice {
    Q_OBJECT
public:
    static constexpr double NormalWordsPerSecond = 3.0;

    // `rate` -1..1 halves or doubles the pace.
    explicit SilentVoice(double rate = 0.0, double wordsPerSecond = NormalWordsPerSecond,
                         QObject* parent = nullptr);

    void speak(const QString& text) override;
    void stop() override;
    int msPerWord() const override;

    static int wordCount(const QString& text);

private:
    double wordsPerSecond_;
    QTimer pace_;
};

} // namespace folimar::character
