#pragma once

#include "recognition/PageReader.h"

#include <QObject>
#include <QThreadPool>
#include <functional>
#include <memory>

namespace folimar::recognition {

// Reads a page's text on a worker thread. One reading at a time: a new one, or cancel(),
// drops the one before, whose result is never delivered. Progress and the result arrive
// on the object's own thread. Destroying the object cancels and waits for the worker.
// The worker runs at a lower priority than the window, so the interface answers at once
// while a page is read.
class TextRecognition final : public QObject {
    Q_OBJECT
public:
    explicit TextRecognition(QString tessdata, QObject* parent = nullptr);
    ~TextRecognition() override;

    // Starts reading the picture `picture()` gives; it is called on the worker, so that
    // decoding a large picture does not hold up the window either.
    void start(std::function<QImage()> picture, const QString& languages);
    void cancel();
    bool isRunning() const { return control_ != nullptr; }

Q_SIGNALS:
    void progressed(int percent);
    // Read (the text may be empty: no text on the picture) or failed, with a message.
    void finished(const folimar::recognition::ReadOutcome& outcome);

private:
    void deliver(const std::shared_ptr<ReadControl>& control, const ReadOutcome& outcome);
    void reportProgress(const std::shared_ptr<ReadControl>& control, int percent);

    QString tessdata_;
    std::shared_ptr<ReadControl> control_; // the reading whose result is awaited
    QThreadPool workers_;
};

} // namespace folimar::recognition
