#pragma once

#include <QList>
#include <QStringList>
#include <cstdint>
#include <span>

namespace folimar::testing {

// Whether each 10 ms frame of a recording holds voice.
QList<bool> voicedFrames(std::span<const std::int16_t> samples, int sampleRate);

// The sentences not heard whole on a recording, by their places in `said`. `handedOver`
// holds when each sentence was handed to the voice (ms), then when the last one finished;
// the recording must run on without a gap. Each sentence must have at least three quarters
// of the voice that the same text has in the middle of all its readings, within its own
// stretch of time: a pause inside a sentence only lengthens its stretch, while a sentence
// lost, silent or cut short falls below.
QList<int> sentencesNotHeardWhole(const QList<bool>& voiced, const QList<std::int64_t>& handedOver,
                                  const QStringList& said);

} // namespace folimar::testing
