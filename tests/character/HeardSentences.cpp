#include "HeardSentences.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace folimar::testing {

namespace {

constexpr double VoicedLevel = 400.0; // RMS of 16-bit samples
constexpr int FrameMs = 10;
// A sentence's voice is never shorter than this, whatever the median says.
constexpr int LeastVoicedFrames = 10;
// The recording is lined up with the times by where its voice ends, which a busy event loop
// reports late (or a speech service early): the best line-up within this range counts.
constexpr int EarliestShiftFrames = -50;
constexpr int LatestShiftFrames = 100;

int median(QList<int> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

QList<bool> voicedFrames(std::span<const std::int16_t> samples, int sampleRate) {
    QList<bool> voiced;
    const auto frameStart = [&](std::size_t frame) {
        return frame * std::size_t(sampleRate) / (1000 / FrameMs);
    };
    for (std::size_t f = 0; frameStart(f + 1) <= samples.size(); ++f) {
        double sum = 0;
        for (std::size_t i = frameStart(f); i < frameStart(f + 1); ++i)
            sum += double(samples[i]) * samples[i];
        voiced << (std::sqrt(sum / double(frameStart(f + 1) - frameStart(f))) >= VoicedLevel);
    }
    return voiced;
}

QList<int> sentencesNotHeardWhole(const QList<bool>& voiced, const QList<std::int64_t>& handedOver,
                                  const QStringList& said) {
    const qsizetype count = handedOver.size() - 1;
    QList<int> all(count);
    std::iota(all.begin(), all.end(), 0);
    const qsizetype last = voiced.lastIndexOf(true);
    if (last < 0 || count != said.size())
        return all;
    QList<int> voicedBefore{0};
    for (bool frame : voiced)
        voicedBefore << voicedBefore.back() + (frame ? 1 : 0);

    QList<int> best = all;
    for (int shift = EarliestShiftFrames; shift <= LatestShiftFrames; ++shift) {
        const auto frameAt = [&](std::int64_t ms) {
            return std::clamp<qsizetype>(last + 1 + shift - (handedOver.back() - ms) / FrameMs, 0,
                                         voiced.size());
        };
        // The first sentence may wait for the character to appear: its stretch starts with
        // the recording.
        QList<int> heard(count);
        QHash<QString, QList<int>> readings;
        for (qsizetype i = 0; i < count; ++i) {
            const qsizetype from = i == 0 ? 0 : frameAt(handedOver[i]);
            heard[i] =
                voicedBefore[std::max(from, frameAt(handedOver[i + 1]))] - voicedBefore[from];
            readings[said[i]] << heard[i];
        }
        QList<int> notWhole;
        for (qsizetype i = 0; i < count; ++i) {
            if (heard[i] < std::max(LeastVoicedFrames, median(readings[said[i]]) * 3 / 4))
                notWhole << int(i);
        }
        if (notWhole.size() < best.size())
            best = notWhole;
    }
    return best;
}

} // namespace folimar::testing
