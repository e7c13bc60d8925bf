#pragma once

#include "bookexport/BookExport.h"

#include <QObject>
#include <atomic>
#include <thread>

namespace folimar::bookexport {

// One export at a time on a thread of its own, so that the windows stay responsive. Its
// progress and its outcome arrive as signals on the thread that owns the job.
class BookExportJob final : public QObject {
    Q_OBJECT
public:
    explicit BookExportJob(QObject* parent = nullptr);
    // Cancels an export under way and waits for its thread: its file is not left behind.
    ~BookExportJob() override;

    // Starts `work`; false while an export is already under way.
    bool start(BookExportWork work);
    void cancel();
    bool isRunning() const { return running_; }

Q_SIGNALS:
    void progressed(int permille, int topicsDone);
    void finished(const folimar::bookexport::BookExportOutcome& outcome);

private:
    void joinThread();

    std::thread thread_;
    std::atomic<bool> cancelled_{false};
    std::atomic<int> reported_{-1}; // permille and topics, packed
    bool running_ = false;
};

} // namespace folimar::bookexport
