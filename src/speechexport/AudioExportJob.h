#pragma once

#include "speechexport/SpeechExport.h"

#include <QObject>
#include <atomic>
#include <memory>
#include <thread>

namespace folimar::speechexport {

// One export at a time, spoken on a thread of its own so that the windows stay responsive.
// Its progress and its outcome arrive as signals on the thread that owns the job.
class AudioExportJob final : public QObject {
    Q_OBJECT
public:
    explicit AudioExportJob(QObject* parent = nullptr);
    // Cancels an export under way and waits for its thread: its file is not left behind.
    ~AudioExportJob() override;

    // Starts `request`; false while an export is already under way.
    bool start(ExportRequest request);
    void cancel();
    bool isRunning() const { return running_; }

Q_SIGNALS:
    void progressed(int permille);
    void finished(const folimar::speechexport::ExportOutcome& outcome);

private:
    void run(ExportRequest request);
    void joinThread();

    std::thread thread_;
    std::atomic<bool> cancelled_{false};
    std::atomic<int> reportedPermille_{-1};
    bool running_ = false;
};

} // namespace folimar::speechexport
