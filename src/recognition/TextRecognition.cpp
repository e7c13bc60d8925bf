#include "recognition/TextRecognition.h"

#include <sys/resource.h>

namespace folimar::recognition {

namespace {

// Low enough that the window and the voice come first, high enough that a busy machine's
// other work does not starve the reading the user is waiting for.
constexpr int WorkerNiceness = 5;

} // namespace

TextRecognition::TextRecognition(QString tessdata, QObject* parent)
    : QObject(parent), tessdata_(std::move(tessdata)) {
    // A cancelled reading may still be winding down when the next one starts.
    workers_.setMaxThreadCount(2);
}

TextRecognition::~TextRecognition() {
    cancel();
    workers_.waitForDone();
}

void TextRecognition::start(std::function<QImage()> picture, const QString& languages) {
    cancel();
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
    workers_.start([this, control, picture = std::move(picture), tessdata = tessdata_, languages] {
        // The nice value is the thread's own on Linux, and the engine reads on this thread
        // alone. Only this pool's threads run readings.
        setpriority(PRIO_PROCESS, 0, WorkerNiceness);
        const ReadOutcome outcome = readPage(picture(), tessdata, languages, *control);
        QMetaObject::invokeMethod(this, [this, control, outcome] { deliver(control, outcome); });
    });
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
