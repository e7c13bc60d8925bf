#include "speechexport/OpusWriter.h"

#include "speechexport/ChapterComments.h"

#include <QIODevice>
#include <opus/opusenc.h>

namespace folimar::speechexport {

namespace {

constexpr int SpeechBitrate = 32000; // bits per second: clear speech, small files
constexpr int SpeechComplexity = 5;  // of 0..10
// Room after the comments: a chapter's time grows by a digit past 99 hours.
constexpr int CommentPadding = 4096;

struct CommentsDeleter {
    void operator()(OggOpusComments* comments) const { ope_comments_destroy(comments); }
};

int keepDeviceOpen(void*) {
    return 0; // the exporter commits or discards the file
}

QString opusError(const char* what, int code) {
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromUtf8(ope_strerror(code)));
}

// The chapters as the file first carries them: every time zero, as long as a real one.
QList<ChapterMark> unplacedChapters(const QStringList& titles) {
    QList<ChapterMark> chapters;
    for (const QString& title : titles)
        chapters.append({0, title});
    return chapters;
}

} // namespace

void OpusWriter::EncoderDeleter::operator()(OggOpusEnc* encoder) const {
    ope_encoder_destroy(encoder);
}

OpusWriter::OpusWriter(QIODevice& device, int sampleRate, QString title, QStringList chapterTitles)
    : device_(device), sampleRate_(sampleRate), title_(std::move(title)),
      chapterTitles_(std::move(chapterTitles)) {}

OpusWriter::~OpusWriter() = default;

int OpusWriter::written(void* self, const unsigned char* data, int length) {
    auto* writer = static_cast<OpusWriter*>(self);
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), length);
    writer->comments_.take(bytes);
    return writer->device_.write(bytes) == length ? 0 : 1;
}

bool OpusWriter::encodingFailed(const char* what, int code) {
    return fail(device_.errorString().isEmpty() ? opusError(what, code) : device_.errorString());
}

bool OpusWriter::start() {
    const std::unique_ptr<OggOpusComments, CommentsDeleter> comments(ope_comments_create());
    if (!comments)
        return fail(QStringLiteral("out of memory"));
    for (const auto& [key, value] :
         chapterComments(title_, unplacedChapters(chapterTitles_), sampleRate_)) {
        if (const int status = ope_comments_add(comments.get(), key.constData(), value.constData());
            status != OPE_OK)
            return fail(opusError("comment", status));
    }
    const OpusEncCallbacks callbacks{&OpusWriter::written, keepDeviceOpen};
    int status = OPE_OK;
    encoder_.reset(
        ope_encoder_create_callbacks(&callbacks, this, comments.get(), sampleRate_, 1, 0, &status));
    if (!encoder_ || status != OPE_OK) {
        encoder_.reset();
        return fail(opusError("encoder", status));
    }
    start_ = device_.pos();
    ope_encoder_ctl(encoder_.get(), OPE_SET_COMMENT_PADDING(CommentPadding));
    ope_encoder_ctl(encoder_.get(), OPUS_SET_BITRATE(SpeechBitrate));
    ope_encoder_ctl(encoder_.get(), OPUS_SET_SIGNAL(OPUS_SIGNAL_VOICE));
    // The encoder, not the voice, takes most of an export's time (espeak-ng speaks some ten
    // times faster than Opus encodes); a middle complexity is a quarter quicker than the
    // highest and sounds the same for speech.
    ope_encoder_ctl(encoder_.get(), OPUS_SET_COMPLEXITY(SpeechComplexity));
    return true;
}

bool OpusWriter::write(std::span<const std::int16_t> samples) {
    if (!encoder_ && !start())
        return false;
    if (const int status = ope_encoder_write(encoder_.get(), samples.data(), int(samples.size()));
        status != OPE_OK)
        return encodingFailed("encoding", status);
    return true;
}

bool OpusWriter::finish(const QList<ChapterMark>& chapters) {
    if (!encoder_ && !start())
        return false;
    if (const int drained = ope_encoder_drain(encoder_.get()); drained != OPE_OK)
        return encodingFailed("encoding", drained);
    encoder_.reset();
    QHash<QByteArray, QByteArray> times;
    for (const auto& [key, value] : chapterComments({}, chapters, sampleRate_)) {
        if (!key.endsWith("NAME"))
            times.insert(key, value);
    }
    const std::optional<QList<OggCommentPages::Page>> pages = comments_.withValues(times);
    if (chapters.size() != chapterTitles_.size() || !pages)
        return fail(QStringLiteral("the chapters could not be marked"));
    const qint64 end = device_.pos();
    for (const OggCommentPages::Page& page : *pages) {
        if (!device_.seek(start_ + page.offset) || device_.write(page.bytes) != page.bytes.size())
            return fail(device_.errorString());
    }
    if (!device_.seek(end))
        return fail(device_.errorString());
    return true;
}

} // namespace folimar::speechexport
