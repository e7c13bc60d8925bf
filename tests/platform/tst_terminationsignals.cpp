#include "platform/termination/TerminationSignals.h"

#include <QSignalSpy>
#include <QTest>
#include <csignal>

using namespace folimar::platform;

namespace {

using Handler = void (*)(int);

Handler currentHandler(int signalNumber) {
    struct sigaction current = {};
    return ::sigaction(signalNumber, nullptr, &current) == 0 ? current.sa_handler : SIG_ERR;
}

} // namespace

class TestTerminationSignals : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void signalArrivesAsAQtSignal_data() {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }
    void signalArrivesAsAQtSignal() {
        QFETCH(int, signalNumber);
        const Handler before = currentHandler(signalNumber);
        {
            TerminationSignals watcher;
            QVERIFY(watcher.isActive());
            QSignalSpy requested(&watcher, &TerminationSignals::terminationRequested);
            QCOMPARE(::raise(signalNumber), 0);
            QVERIFY(requested.wait());
            QCOMPARE(requested.size(), 1);
            QCOMPARE(requested.at(0).at(0).toInt(), signalNumber);
        }
        // Gone with the object: whoever handled the signal before handles it again.
        QVERIFY(currentHandler(signalNumber) == before);
    }

    void onlyOneWatcherAtATime() {
        const Handler before = currentHandler(SIGTERM);
        TerminationSignals first;
        {
            QTest::ignoreMessage(QtWarningMsg, "termination signals are already watched");
            TerminationSignals second;
            QVERIFY(!second.isActive());
        }
        // The inactive one gave nothing back: the first still watches.
        QVERIFY(currentHandler(SIGTERM) != before);
        QSignalSpy requested(&first, &TerminationSignals::terminationRequested);
        QCOMPARE(::raise(SIGTERM), 0);
        QVERIFY(requested.wait());
    }
};

QTEST_GUILESS_MAIN(TestTerminationSignals)
#include "tst_terminationsignals.moc"
