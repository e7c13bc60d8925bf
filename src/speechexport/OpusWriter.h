#pragma once

#include "speechexport/AudioWriter.h"

#include <QTemporaryFile>

class QIODevice;

namespace folimar::speechexport {

// An Ogg Opus file, encoded by libopusenc from the voice's own rate, with the title and the
// chapters in its comments. The comments lead the file but the chapters' places are known
// only once all is spoken, so the sound waits in a temporary file until finish().
class OpusWriter final : public AudioWriter {
public:
    OpusWriter(QIODevice& device, int sampleRate, QString title);
    bool write(std::span<const std::int16_t> samples) override;
    bool finish(const QList<ChapterMark>& chapters, const KeepGoing& keepGoing,
                const FinishProgress& progress) override;
    // Encoding takes some four fifths of an export's time: the voice speaks about four
    // times faster than Opus encodes.
    double finishShare() const override { return 0.8; }

private:
    QIODevice& device_;
    int sampleRate_;
    QString title_;
    QTemporaryFile spool_;
    std::int64_t spooledSamples_ = 0;
};

} // namespace folimar::speechexport
