#pragma once

#include "recognition/PageText.h"

#include <QImage>
#include <QString>
#include <atomic>
#include <functional>

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

// Reads the text of one picture with Tesseract, on the calling thread. Each call starts
// its own engine, so readings on several threads do not meet.
ReadOutcome readPage(const QImage& picture, const QString& tessdata, const QString& languages,
                     ReadControl& control);

} // namespace folimar::recognition
