#pragma once

#include "speechexport/AudioWriter.h"
#include "speechexport/OggCommentPages.h"

#include <QStringList>
#include <memory>

class QIODevice;
struct OggOpusEnc;

namespace folimar::speechexport {

// An Ogg Opus file, encoded by libopusenc from the voice's own rate as the sound comes, with
// the title and the chapters in its comments. The comments lead the file but the chapters'
// times are known only once all is spoken: they are written with times of the same length
// first and put right in place at the end, so nothing of the sound waits anywhere.
class OpusWriter final : public AudioWriter {
public:
    // `chapterTitles`: the titles of the chapters finish() is given the places of.
    OpusWriter(QIODevice& device, int sampleRate, QString title, QStringList chapterTitles);
    ~OpusWriter() override;
    bool write(std::span<const std::int16_t> samples) override;
    bool finish(const QList<ChapterMark>& chapters) override;

private:
    struct EncoderDeleter {
        void operator()(OggOpusEnc* encoder) const;
    };
    static int written(void* self, const unsigned char* data, int length);
    bool start();
    bool encodingFailed(const char* what, int code);

    QIODevice& device_;
    int sampleRate_;
    QString title_;
    QStringList chapterTitles_;
    std::unique_ptr<OggOpusEnc, EncoderDeleter> encoder_;
    qint64 start_ = 0; // where the stream begins on the device
    OggCommentPages comments_;
};

} // namespace folimar::speechexport
