// folimar-pdfpage [--cpu-seconds N]: reads PDF pages for the program that started it,
// answering the requests that come on standard input on standard output, one at a time,
// until the input ends. Each request may take N seconds of processor time (default 60).
#include "PageServer.h"

#include <QByteArray>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <poppler-qt6.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using namespace folimar;

bool readExactly(char* into, qsizetype size) {
    while (size > 0) {
        const ssize_t got = read(STDIN_FILENO, into, std::size_t(size));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        into += got;
        size -= got;
    }
    return true;
}

bool writeBytes(const QByteArray& bytes) {
    const char* at = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t put = write(STDOUT_FILENO, at, std::size_t(left));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        at += put;
        left -= put;
    }
    return true;
}

// A reply's body goes as it is after its head: a page's picture is not copied again.
bool writeReply(const pdfpages::Reply& reply) {
    const QByteArray body = pdfpages::encodeReply(reply);
    return writeBytes(pdfpages::frameHead(body.size())) && writeBytes(body);
}

// From now on this request may use `budget` more seconds of processor time; past them the
// system ends the helper.
void allowProcessorTime(rlim_t budget) {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const rlim_t used = rlim_t(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) + 1;
    rlimit limit{};
    getrlimit(RLIMIT_CPU, &limit);
    limit.rlim_cur =
        limit.rlim_max == RLIM_INFINITY ? used + budget : std::min(used + budget, limit.rlim_max);
    setrlimit(RLIMIT_CPU, &limit);
}

void quiet(const QString&, const QVariant&) {}

} // namespace

int main(int argc, char** argv) {
    rlim_t budget = 60;
    if (argc == 3 && std::strcmp(argv[1], "--cpu-seconds") == 0 && std::atoi(argv[2]) > 0)
        budget = rlim_t(std::atoi(argv[2]));
    // The reader's complaints about damaged files would fill the terminal: what went wrong
    // with a page goes back in its answer.
    Poppler::setDebugErrorFunction(quiet, QVariant());
    pdfpage::PageServer server;
    for (;;) {
        const std::optional<QByteArray> body =
            pdfpages::readFrame(readExactly, pdfpages::MaxRequestBody);
        if (!body)
            return 0;
        const std::optional<pdfpages::Request> request = pdfpages::decodeRequest(*body);
        if (!request)
            return 1;
        allowProcessorTime(budget);
        try {
            if (!writeReply(server.answer(*request)))
                return 1;
        } catch (const std::bad_alloc&) {
            // What was being built is half made: say so and end, a fresh helper goes on.
            writeReply(pdfpages::Refused{pdfpages::PastTheMemory.toString()});
            return 1;
        }
    }
}
