#include "platform/link/InstanceLinkAddress.h"
#include "platform/link/InstanceLinkClient.h"
#include "platform/link/InstanceLinkServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <future>
#include <vector>

using namespace folimar::platform;

namespace {

constexpr int Rounds = 200;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    InstanceLinkServer server(InstanceLinkPath(dir.path()));
    if (!dir.isValid() || server.listen() != InstanceLinkServer::ListenResult::Listening) {
        std::fprintf(stderr, "bench_link: cannot listen: %s\n", qPrintable(server.errorString()));
        return 1;
    }
    QElapsedTimer clock;
    clock.start();
    std::atomic<qint64> sentAt{0};
    qint64 deliveredAt = -1;
    QObject::connect(&server, &InstanceLinkServer::openRequested, &server,
                     [&] { deliveredAt = clock.nsecsElapsed(); });

    std::vector<double> toSignal;
    std::vector<double> toAcknowledgement;
    for (int round = 0; round < Rounds; ++round) {
        deliveredAt = -1;
        auto sending = std::async(std::launch::async, [&] {
            sentAt = clock.nsecsElapsed();
            const bool delivered =
                SendOpenRequest(QStringLiteral("/books/a book.fmr"), server.socketPath());
            return delivered ? clock.nsecsElapsed() : qint64(-1);
        });
        while (sending.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        const qint64 acknowledgedAt = sending.get();
        if (acknowledgedAt < 0 || deliveredAt < 0) {
            std::fprintf(stderr, "bench_link: round %d was not delivered\n", round);
            return 1;
        }
        toSignal.push_back((deliveredAt - sentAt) / 1e6);
        toAcknowledgement.push_back((acknowledgedAt - sentAt) / 1e6);
    }
    std::printf("bench link.handover_to_signal %.3f ms\n", Median(toSignal));
    std::printf("bench link.handover_to_acknowledgement %.3f ms\n", Median(toAcknowledgement));
    return 0;
}
