#include "platform/termination/TerminationSignals.h"

#include <QLoggingCategory>
#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <sys/socket.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcTermination, "folimar.termination", QtWarningMsg)

namespace folimar::platform {

namespace {

constexpr int HandledSignals[] = {SIGTERM, SIGINT, SIGHUP};

// A signal handler can reach nothing but a process-wide value: the socket it writes to.
std::atomic<int> handlerFd{-1};

extern "C" void onSignal(int signalNumber) {
    const int savedErrno = errno;
    const char byte = static_cast<char>(signalNumber);
    // A full socket already holds a pending request: dropping this one loses nothing.
    [[maybe_unused]] const ssize_t written = ::write(handlerFd.load(), &byte, 1);
    errno = savedErrno;
}

bool setFlags(int fd) {
    const int fdFlags = ::fcntl(fd, F_GETFD);
    const int statusFlags = ::fcntl(fd, F_GETFL);
    return fdFlags >= 0 && statusFlags >= 0 && ::fcntl(fd, F_SETFD, fdFlags | FD_CLOEXEC) == 0 &&
           ::fcntl(fd, F_SETFL, statusFlags | O_NONBLOCK) == 0;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, fds_) != 0) {
        qCWarning(lcTermination, "no socket pair for termination signals: %s", strerror(errno));
        fds_[0] = fds_[1] = -1;
        return;
    }
    int expected = -1;
    if (!setFlags(fds_[0]) || !setFlags(fds_[1]) ||
        !handlerFd.compare_exchange_strong(expected, fds_[1])) {
        qCWarning(lcTermination, "termination signals are already watched");
        return;
    }
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(HandledSignals); ++i) {
        installed_[i] = ::sigaction(HandledSignals[i], &action, &previous_[i]) == 0;
        if (!installed_[i])
            qCWarning(lcTermination, "cannot watch signal %d: %s", HandledSignals[i],
                      strerror(errno));
    }
    notifier_ = new QSocketNotifier(fds_[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::readSignals);
}

TerminationSignals::~TerminationSignals() {
    if (notifier_ != nullptr) {
        restoreHandlers();
        handlerFd.store(-1);
    }
    for (const int fd : fds_) {
        if (fd >= 0)
            ::close(fd);
    }
}

void TerminationSignals::restoreHandlers() {
    for (std::size_t i = 0; i < std::size(HandledSignals); ++i) {
        if (installed_[i])
            ::sigaction(HandledSignals[i], &previous_[i], nullptr);
    }
}

void TerminationSignals::readSignals() {
    // Signals that came together ask for one shutdown; a receiver may delete this object.
    char bytes[16];
    int signalNumber = 0;
    ssize_t count = 0;
    while ((count = ::read(fds_[0], bytes, sizeof bytes)) > 0)
        signalNumber = bytes[count - 1];
    if (signalNumber != 0)
        Q_EMIT terminationRequested(signalNumber);
}

} // namespace folimar::platform
