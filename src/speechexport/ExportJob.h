#pragma once

#include <QObject>
#include <atomic>
#include <functional>
#include <thread>

namespace folimar::speechexport {

// One export at a time on a thread of its own, so that the windows stay responsive. What
// it reports and its outcome arrive on the thread that owns the job.
class ExportJob : public QObject {
    Q_OBJECT
public:
    // Cancels an export under way and waits for its thread: its file is not left behind.
    ~ExportJob() override;

    void cancel() { cancelled_ = true; }
    bool isRunning() const { return running_; }

protected:
    explicit ExportJob(QObject* parent) : QObject(parent) {}

    // Starts `work` on the job's thread; false while an export is already under way. The
    // work runs with the cancel flag and gives back what is to be done on the owner's
    // thread when it ends (telling its outcome).
    bool launch(std::function<std::function<void()>(const std::atomic<bool>& cancelled)> work);
    // From the work: `tell(permille)` runs on the owner's thread when the share done (0..1)
    // or the `count` of parts done changed, so that a long book does not flood the windows.
    void report(double share, int count, std::function<void(int permille)> tell);

private:
    void joinThread();

    std::thread thread_;
    std::atomic<bool> cancelled_{false};
    std::atomic<int> reported_{-1}; // permille and count, packed
    bool running_ = false;
};

} // namespace folimar::speechexport
