#include "platform/boundedprocess/BoundedProcess.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace folimar::platform {

namespace {

// How often a read waiting on a helper looks at its cancel flag.
constexpr int CancelLookMs = 50;
// What the socket holds on its way to us; the system may cut it down to its own bound.
constexpr int SocketBuffer = 4 << 20;

// A program built with AddressSanitizer (as the helpers of a sanitized build are) maps
// terabytes for its shadow memory as it starts: no limit on its address space lets it run.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool AddressSpaceCanBeLimited = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool AddressSpaceCanBeLimited = false;
#else
constexpr bool AddressSpaceCanBeLimited = true;
#endif
#else
constexpr bool AddressSpaceCanBeLimited = true;
#endif

void setLimit(int resource, rlim_t value) {
    const rlimit limit{value, value};
    setrlimit(resource, &limit);
}

// In the child between fork and exec: only calls that are safe there.
[[noreturn]] void becomeHelper(int socket, const char* program, char* const* argv,
                               const ProcessLimits& limits) {
    if (dup2(socket, STDIN_FILENO) < 0 || dup2(socket, STDOUT_FILENO) < 0)
        _exit(127);
    if (AddressSpaceCanBeLimited && limits.addressSpace > 0)
        setLimit(RLIMIT_AS, rlim_t(limits.addressSpace));
    setLimit(RLIMIT_CORE, 0);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    for (int signal : {SIGPIPE, SIGTERM, SIGINT, SIGHUP, SIGXCPU})
        sigaction(signal, &byDefault, nullptr);
    execv(program, argv);
    _exit(127);
}

QString signalName(int signal) {
    const char* abbreviation = sigabbrev_np(signal);
    return abbreviation ? QStringLiteral("SIG") + QLatin1String(abbreviation)
                        : QStringLiteral("signal %1").arg(signal);
}

} // namespace

std::unique_ptr<BoundedProcess> BoundedProcess::start(const QString& program,
                                                      const QStringList& arguments,
                                                      const ProcessLimits& limits) {
    // Everything the child needs is made before the fork: after it, in a process with
    // other threads, the child may not allocate.
    const QByteArray path = QFile::encodeName(program);
    std::vector<QByteArray> encoded{path};
    for (const QString& argument : arguments)
        encoded.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& argument : encoded)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    if (access(path.constData(), X_OK) != 0)
        return nullptr;

    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return nullptr;
    // Large answers (a page's picture) pass in fewer turns between the two processes.
    const int buffer = SocketBuffer;
    for (int end : ends)
        for (int option : {SO_SNDBUF, SO_RCVBUF})
            setsockopt(end, SOL_SOCKET, option, &buffer, sizeof buffer);
    const pid_t pid = fork();
    if (pid == 0)
        becomeHelper(ends[1], path.constData(), argv.data(), limits);
    close(ends[1]);
    fcntl(ends[0], F_SETFL, fcntl(ends[0], F_GETFL) | O_NONBLOCK);

    if (pid < 0) {
        close(ends[0]);
        return nullptr;
    }
    return std::unique_ptr<BoundedProcess>(new BoundedProcess(pid, ends[0]));
}

BoundedProcess::BoundedProcess(pid_t pid, int socket) : pid_(pid), socket_(socket) {}

BoundedProcess::~BoundedProcess() {
    reap(true);
    close(socket_);
}

void BoundedProcess::kill() {
    const std::lock_guard lock(mutex_);
    if (pid_ > 0)
        ::kill(pid_, SIGKILL);
}

QString BoundedProcess::reap(bool killFirst) {
    if (killFirst)
        kill();
    pid_t pid = 0;
    {
        const std::lock_guard lock(mutex_);
        pid = pid_;
    }
    if (pid <= 0)
        return endedBy_;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    const std::lock_guard lock(mutex_);
    pid_ = -1;
    endedBy_ = WIFSIGNALED(status) ? signalName(WTERMSIG(status)) : QString();
    return endedBy_;
}

BoundedProcess::Io BoundedProcess::wait(short events, QDeadlineTimer deadline,
                                        const std::atomic<bool>* cancelled) {
    for (;;) {
        if (cancelled && *cancelled) {
            kill();
            return Io::Cancelled;
        }
        const qint64 left = deadline.remainingTime();
        if (left == 0) {
            kill();
            return Io::TimedOut;
        }
        int slice = left < 0 ? -1 : int(std::min<qint64>(left, INT_MAX));
        if (cancelled)
            slice = slice < 0 ? CancelLookMs : std::min(slice, CancelLookMs);
        pollfd watched{socket_, events, 0};
        const int ready = poll(&watched, 1, slice);
        if (ready < 0 && errno != EINTR)
            return Io::Ended;
        if (ready > 0)
            return Io::Done; // ready, closed or failed: the read or write tells which
    }
}

BoundedProcess::Io BoundedProcess::write(const QByteArray& bytes, QDeadlineTimer deadline) {
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        if (const Io waited = wait(POLLOUT, deadline, nullptr); waited != Io::Done)
            return waited;
        const ssize_t written =
            send(socket_, bytes.constData() + sent, std::size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (written < 0 && errno != EINTR && errno != EAGAIN)
            return Io::Ended;
        sent += std::max<ssize_t>(written, 0);
    }
    return Io::Done;
}

BoundedProcess::Io BoundedProcess::read(char* into, qsizetype size, QDeadlineTimer deadline,
                                        const std::atomic<bool>* cancelled) {
    qsizetype got = 0;
    while (got < size) {
        if (const Io waited = wait(POLLIN, deadline, cancelled); waited != Io::Done)
            return waited;
        const ssize_t received = ::read(socket_, into + got, std::size_t(size - got));
        if (received == 0)
            return Io::Ended;
        if (received < 0 && errno != EINTR && errno != EAGAIN)
            return Io::Ended;
        got += std::max<ssize_t>(received, 0);
    }
    return Io::Done;
}

} // namespace folimar::platform
