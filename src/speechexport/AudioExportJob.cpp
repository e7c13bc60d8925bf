#include "speechexport/AudioExportJob.h"

#include "platform/character/EspeakSynthesizer.h"

#include <QMetaObject>
#include <cmath>

namespace folimar::speechexport {

AudioExportJob::AudioExportJob(QObject* parent) : QObject(parent) {}

AudioExportJob::~AudioExportJob() {
    cancel();
    joinThread();
}

void AudioExportJob::joinThread() {
    if (thread_.joinable())
        thread_.join();
}

bool AudioExportJob::start(ExportRequest request) {
    if (running_)
        return false;
    joinThread(); // the last export's thread has ended: its outcome was delivered
    running_ = true;
    cancelled_ = false;
    reportedPermille_ = -1;
    thread_ =
        std::thread([this, request = std::move(request)]() mutable { run(std::move(request)); });
    return true;
}

void AudioExportJob::cancel() {
    cancelled_ = true;
}

void AudioExportJob::run(ExportRequest request) {
    ExportOutcome outcome;
    QString why;
    if (const auto synthesizer = character::EspeakSynthesizer::open(&why)) {
        outcome = exportSpeech(
            *synthesizer, request,
            [this](double share) {
                const int permille = int(std::lround(share * 1000));
                // Only changes are sent, so a long book does not flood the windows.
                if (reportedPermille_.exchange(permille) != permille)
                    QMetaObject::invokeMethod(
                        this, [this, permille] { Q_EMIT progressed(permille); },
                        Qt::QueuedConnection);
            },
            cancelled_);
    } else {
        outcome.message = why;
    }
    // Delivered on the owner's thread; dropped if the job is gone by then.
    QMetaObject::invokeMethod(
        this,
        [this, outcome] {
            running_ = false;
            Q_EMIT finished(outcome);
        },
        Qt::QueuedConnection);
}

} // namespace folimar::speechexport
