#include "speechexport/OpusWriter.h"

#include "speechexport/ChapterComments.h"

#include <QDir>
#include <QIODevice>
#include <memory>
#include <opus/opusenc.h>
#include <vector>

namespace folimar::speechexport {

namespace {

constexpr int SpeechBitrate = 32000;       // bits per second: clear speech, small files
constexpr int SpeechComplexity = 5;        // of 0..10
constexpr qsizetype EncodeSamples = 48000; // read back from the spool this many at a time

struct CommentsDeleter {
    void operator()(OggOpusComments* comments) const { ope_comments_destroy(comments); }
};
struct EncoderDeleter {
    void operator()(OggOpusEnc* encoder) const { ope_encoder_destroy(encoder); }
};

int writeToDevice(void* device, const unsigned char* data, opus_int32 length) {
    auto* out = static_cast<QIODevice*>(device);
    return out->write(reinterpret_cast<const char*>(data), length) == length ? 0 : 1;
}

int keepDeviceOpen(void*) {
    return 0; // the exporter commits or discards the file
}

QString opusError(const char* what, int code) {
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromUtf8(ope_strerror(code)));
}

} // namespace

OpusWriter::OpusWriter(QIODevice& device, int sampleRate, QString title)
    : device_(device), sampleRate_(sampleRate), title_(std::move(title)),
      spool_(QDir::tempPath() + QStringLiteral("/folimar-audio-XXXXXX.raw")) {}

bool OpusWriter::write(std::span<const std::int16_t> samples) {
    if (!spool_.isOpen() && !spool_.open())
        return fail(QStringLiteral("no room for the sound in %1: %2")
                        .arg(QDir::toNativeSeparators(QDir::tempPath()), spool_.errorString()));
    const auto bytes = qint64(samples.size() * sizeof(std::int16_t));
    if (spool_.write(reinterpret_cast<const char*>(samples.data()), bytes) != bytes)
        return fail(QStringLiteral("no room for the sound in %1: %2")
                        .arg(QDir::toNativeSeparators(QDir::tempPath()), spool_.errorString()));
    spooledSamples_ += std::int64_t(samples.size());
    return true;
}

bool OpusWriter::finish(const QList<ChapterMark>& chapters, const KeepGoing& keepGoing,
                        const FinishProgress& progress) {
    const std::unique_ptr<OggOpusComments, CommentsDeleter> comments(ope_comments_create());
    if (!comments)
        return fail(QStringLiteral("out of memory"));
    for (const auto& [key, value] : chapterComments(title_, chapters, sampleRate_)) {
        if (const int status = ope_comments_add(comments.get(), key.constData(), value.constData());
            status != OPE_OK)
            return fail(opusError("comment", status));
    }
    const OpusEncCallbacks callbacks{writeToDevice, keepDeviceOpen};
    int status = OPE_OK;
    const std::unique_ptr<OggOpusEnc, EncoderDeleter> encoder(ope_encoder_create_callbacks(
        &callbacks, &device_, comments.get(), sampleRate_, 1, 0, &status));
    if (!encoder || status != OPE_OK)
        return fail(opusError("encoder", status));
    ope_encoder_ctl(encoder.get(), OPUS_SET_BITRATE(SpeechBitrate));
    ope_encoder_ctl(encoder.get(), OPUS_SET_SIGNAL(OPUS_SIGNAL_VOICE));
    // The encoder, not the voice, takes most of an export's time (espeak-ng speaks some four
    // times faster than Opus encodes); a middle complexity is a quarter quicker than the
    // highest and sounds the same for speech.
    ope_encoder_ctl(encoder.get(), OPUS_SET_COMPLEXITY(SpeechComplexity));

    if (spool_.isOpen() && !spool_.seek(0))
        return fail(spool_.errorString());
    std::vector<std::int16_t> block(static_cast<std::size_t>(EncodeSamples));
    std::int64_t encoded = 0;
    while (encoded < spooledSamples_) {
        if (!keepGoing())
            return false;
        const qint64 want = std::min<qint64>(EncodeSamples, spooledSamples_ - encoded);
        const qint64 bytes = want * qint64(sizeof(std::int16_t));
        if (spool_.read(reinterpret_cast<char*>(block.data()), bytes) != bytes)
            return fail(spool_.errorString());
        if (const int written = ope_encoder_write(encoder.get(), block.data(), int(want));
            written != OPE_OK)
            return fail(device_.errorString().isEmpty() ? opusError("encoding", written)
                                                        : device_.errorString());
        encoded += want;
        progress(double(encoded) / double(spooledSamples_));
    }
    if (const int drained = ope_encoder_drain(encoder.get()); drained != OPE_OK)
        return fail(device_.errorString().isEmpty() ? opusError("encoding", drained)
                                                    : device_.errorString());
    return true;
}

} // namespace folimar::speechexport
