#include "recognition/TextRecognition.h"

#include <QtConcurrent>

namespace folimar::recognition {

TextRecognition::TextRecognition(QString tessdata, QObject* parent)
    : QObject(parent), tessdata_(std::move(tessdata)) {}

TextRecognition::~TextRecognition() {
    cancel();
    for (QFuture<void>& worker : workers_)
        worker.waitForFinished();
}

void TextRecognition::start(std::function<QImage()> picture, const QString& languages) {
    cancel();
    workers_.removeIf([](const QFuture<void>& worker) { return worker.isFinished(); });
    auto control = std::make_shared<ReadControl>();
    // The worker outlives no reading's object (the destructor waits for it); what it posts
    // to the object is dropped with the object, and ignored once another reading began.
    control->progress = [this, weak = std::weak_ptr(control)](int percent) {
        QMetaObject::invokeMethod(this, [this, weak, percent] {
            if (const auto control = weak.lock())
                reportProgress(control, percent);
        });
    };
    control_ = control;
    workers_.append(QtConcurrent::run([this, control, picture = std::move(picture),
                                       tessdata = tessdata_, languages] {
        const ReadOutcome outcome = readPage(picture(), tessdata, languages, *control);
        QMetaObject::invokeMethod(this, [this, control, outcome] { deliver(control, outcome); });
    }));
}

void TextRecognition::cancel() {
    if (control_)
        control_->cancelled = true;
    control_.reset();
}

void TextRecognition::reportProgress(const std::shared_ptr<ReadControl>& control, int percent) {
    if (control == control_)
        Q_EMIT progressed(percent);
}

void TextRecognition::deliver(const std::shared_ptr<ReadControl>& control,
                              const ReadOutcome& outcome) {
    if (control != control_ || outcome.status == ReadOutcome::Status::Cancelled)
        return;
    control_.reset();
    Q_EMIT finished(outcome);
}

} // namespace folimar::recognition
