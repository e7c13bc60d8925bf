#pragma once

#include <QList>
#include <QString>
#include <cstdint>
#include <span>

namespace folimar::speechexport {

// Where a chapter begins in the sound, counted in samples from its start.
struct ChapterMark {
    std::int64_t sample = 0;
    QString title;
};

// Takes the spoken sound, mono 16-bit at one rate, and turns it into a file's bytes on the
// device it was made for. Failures leave a reason in errorString().
class AudioWriter {
public:
    virtual ~AudioWriter();
    virtual bool write(std::span<const std::int16_t> samples) = 0;
    // Completes the file: the chapters (in order) where the format keeps them.
    virtual bool finish(const QList<ChapterMark>& chapters) = 0;
    QString errorString() const { return error_; }

protected:
    bool fail(QString why) {
        error_ = std::move(why);
        return false;
    }

private:
    QString error_;
};

} // namespace folimar::speechexport
