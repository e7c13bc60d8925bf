// The worker of the crash-consistency test: runs one session of steps on a book through
// the store and says on its output when each step begins and ends, so that the test can
// kill it inside the step it chose.
//   bookworker PROGRAM_FOLDER BOOK MERGE_BOOK SESSION
// "done" lines carry the step's time in microseconds.
#include "KillScript.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

using namespace folimar::testing::killscript;

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() < 5)
        return 2;
    useFastKeys();
    const int session = args.at(4).toInt();
    StoreSession book(args.at(1), args.at(2));
    if (!book.store.hasBook() || book.store.ReadOnlyMode)
        return 3;
    for (int step = 0; step < stepCount(); ++step) {
        QElapsedTimer timer;
        std::printf("begin %d\n", step);
        std::fflush(stdout);
        timer.start();
        if (!runStep(book.store, session, step, args.at(3)))
            return 4;
        const qint64 took = timer.nsecsElapsed() / 1000;
        std::printf("done %d %lld\n", step, took);
        std::fflush(stdout);
    }
    return 0;
}
