#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>
#include <mutex>
#include <sys/types.h>

namespace folimar::platform {

// What a helper program may take.
struct ProcessLimits {
    qint64 addressSpace = 0; // bytes of memory it may map; 0 for no limit (nor under the
                             // address sanitizer)
};

// A helper program started with limits that the system holds it to, whatever it reads:
// beyond its memory an allocation fails. Its
// standard input and output are one end of a socket, the other end ours; it writes no
// core file, and it ends with us. Reads and writes wait no longer than a deadline, and a
// read gives up when a flag is raised (another thread's cancel): the program is then
// killed, as it is when this object goes.
class BoundedProcess {
public:
    // Null when the program cannot be started.
    static std::unique_ptr<BoundedProcess>
    start(const QString& program, const QStringList& arguments, const ProcessLimits& limits);
    ~BoundedProcess();
    BoundedProcess(const BoundedProcess&) = delete;
    BoundedProcess& operator=(const BoundedProcess&) = delete;

    enum class Io {
        Done,
        Ended,     // the program closed its end, or ended
        TimedOut,  // the deadline passed: the program is killed
        Cancelled, // the flag was raised: the program is killed
    };
    Io write(const QByteArray& bytes, QDeadlineTimer deadline);
    Io read(char* into, qsizetype size, QDeadlineTimer deadline,
            const std::atomic<bool>* cancelled = nullptr);

    // Kills the program at once; safe from any thread.
    void kill();
    // Waits for the program to end (killing it first when asked) and tells how it ended:
    // "" for a normal end, else the signal that ended it ("SIGKILL", "SIGSEGV", ...).
    QString reap(bool killFirst);

private:
    BoundedProcess(pid_t pid, int socket);
    Io wait(short events, QDeadlineTimer deadline, const std::atomic<bool>* cancelled);

    std::mutex mutex_; // guards pid_ against a kill racing the reap
    pid_t pid_;
    int socket_;
    QString endedBy_;
};

} // namespace folimar::platform
