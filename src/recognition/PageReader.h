#pragma once

#include "recognition/PageText.h"

#include <QImage>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

namespace tesseract {
class TessBaseAPI;
}

namespace folimar::recognition {

// How a reading ended.
struct ReadOutcome {
    enum class Status { Read, Cancelled, Failed };
    Status status = Status::Failed;
    PageText page;   // when Read; empty text when the picture holds none
    QString message; // when Failed: what to tell the user
};

// One reading's link to whoever waits for it: a flag that stops it, and a call with its
// progress in percent. Both are used from the reading's thread.
struct ReadControl {
    std::atomic<bool> cancelled = false;
    std::function<void(int percent)> progress;
};

// Reads the text of pictures with Tesseract on the calling thread, one after another. The
// engine is loaded for the first picture and kept for the next ones in the same languages,
// as loading it takes longer than reading a small page. Readers on several threads each
// have their own engine, so their readings do not meet.
class PageReader {
public:
    PageReader();
    ~PageReader();
    PageReader(const PageReader&) = delete;
    PageReader& operator=(const PageReader&) = delete;

    ReadOutcome read(const QImage& picture, const QString& tessdata, const QString& languages,
                     ReadControl& control);

private:
    std::unique_ptr<tesseract::TessBaseAPI> engine_;
    QString tessdata_; // what the engine was loaded with
    QString languages_;
};

// Reads the text of one picture with an engine of its own.
ReadOutcome readPage(const QImage& picture, const QString& tessdata, const QString& languages,
                     ReadControl& control);

} // namespace folimar::recognition
