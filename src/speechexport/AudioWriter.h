#pragma once

#include <QList>
#include <QString>
#include <cstdint>
#include <functional>
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
    // True while the export is to go on; asked during long steps of finish().
    using KeepGoing = std::function<bool()>;
    // Share of the whole export (0..1) that finish() has done.
    using FinishProgress = std::function<void(double)>;

    virtual ~AudioWriter();
    virtual bool write(std::span<const std::int16_t> samples) = 0;
    // Completes the file: the chapters (in order) where the format keeps them.
    virtual bool finish(const QList<ChapterMark>& chapters, const KeepGoing& keepGoing,
                        const FinishProgress& progress) = 0;
    // The part of the whole work that finish() takes, for progress (0: none to speak of).
    virtual double finishShare() const = 0;
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
