// Kills a process that is storing, inserting, renumbering, merging and compacting a book,
// hundreds of times at chosen moments, and checks after each kill that the book is sound
// and holds exactly the state before or after the step that was cut, and that the next
// session on what the kill left changes, compacts and keeps every topic whole.
#include "KillScript.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace folimar;
using namespace folimar::testing::killscript;

namespace {

// 18 kills in each of the eight writing steps, and 72 in the compaction at the close,
// whose copy, freeing of pages, flush and rename each have a moment of their own.
constexpr int Rounds = 216;
constexpr int BookTopics = 200;
constexpr int MergeTopics = 30;
const char* const Password = "58K31pR";

void copyFolder(const QString& from, const QString& to) {
    QDir(to).removeRecursively();
    QDir().mkpath(to);
    for (const QFileInfo& entry :
         QDir(from).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = to + QLatin1Char('/') + entry.fileName();
        if (entry.isDir())
            copyFolder(entry.filePath(), target);
        else
            QFile::copy(entry.filePath(), target);
    }
}

QString integrityOf(const QString& path) {
    sqlite3* db = nullptr;
    QString result = QStringLiteral("cannot open");
    // Writable: a journal a kill left behind is rolled back first, as any open does.
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) ==
            SQLITE_OK &&
        sqlite3_key(db, Password, int(qstrlen(Password))) == SQLITE_OK) {
        sqlite3_stmt* check = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr) == SQLITE_OK &&
            sqlite3_step(check) == SQLITE_ROW)
            result =
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)));
        else
            result = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(check);
    }
    sqlite3_close(db);
    return result;
}

// What a killed worker said before it died.
struct WorkerRun {
    int lastBegun = -1;
    int lastDone = -1;
    bool exited = false; // ended by itself, before the kill
};

// Starts the worker on session 0 and kills it `delayUs` after it says it begins `step`.
WorkerRun runAndKill(const QStringList& args, int step, int delayUs) {
    int pipeFds[2];
    WorkerRun run;
    if (::pipe(pipeFds) != 0)
        return run;
    const QByteArray program = BOOKWORKER;
    QList<QByteArray> encoded;
    for (const QString& arg : args)
        encoded.append(QFile::encodeName(arg));
    std::vector<char*> argv{const_cast<char*>(program.constData())};
    for (QByteArray& arg : encoded)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeFds[1], STDOUT_FILENO);
        ::close(pipeFds[0]);
        ::execv(program.constData(), argv.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    QByteArray output;
    char buffer[512];
    const QByteArray marker = "begin " + QByteArray::number(step) + '\n';
    bool killed = false;
    for (;;) {
        const ssize_t got = ::read(pipeFds[0], buffer, sizeof buffer);
        if (got <= 0)
            break;
        output.append(buffer, got);
        if (!killed && output.contains(marker)) {
            if (delayUs > 0)
                ::usleep(useconds_t(delayUs));
            ::kill(pid, SIGKILL);
            killed = true;
        }
    }
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.exited = WIFEXITED(status);
    for (const QByteArray& line : output.split('\n')) {
        const QList<QByteArray> words = line.split(' ');
        if (words.size() >= 2 && words[0] == "begin")
            run.lastBegun = words[1].toInt();
        if (words.size() >= 2 && words[0] == "done")
            run.lastDone = words[1].toInt();
    }
    return run;
}

// The steps' times as the worker measures them, in microseconds.
QList<int> stepTimes(const QStringList& args) {
    QProcess worker;
    worker.start(QString::fromUtf8(BOOKWORKER), args);
    worker.waitForFinished(60000);
    QList<int> times(stepCount(), 1000);
    for (const QByteArray& line : worker.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> words = line.split(' ');
        if (words.size() == 3 && words[0] == "done")
            times[words[1].toInt()] = qMax(50, words[2].toInt());
    }
    return times;
}

// Every topic holds the text and picture its name calls for.
bool everyTopicWhole(store::BookStore& store, QString* broken) {
    for (const store::TopicEntry& entry : store.topicList()) {
        const std::optional<store::TopicPage> page = store.readTopic(entry.TopicNo);
        if (!page || page->TopicName != entry.TopicName ||
            page->PicText != textFor(entry.TopicName) ||
            page->PicData != pictureFor(entry.TopicName)) {
            *broken = entry.TopicName;
            return false;
        }
    }
    return true;
}

} // namespace

class CrashConsistencyTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { useFastKeys(); }
    void killedSessionsLeaveEachStepBeforeOrAfterAndTheNextSessionWhole();
};

void CrashConsistencyTest::killedSessionsLeaveEachStepBeforeOrAfterAndTheNextSessionWhole() {
    // Killing a process tests what is on the way to the disk, not the disk: a memory
    // file system keeps the hundreds of flushes quick.
    const QString under = QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                              ? QStringLiteral("/dev/shm")
                              : QDir::tempPath();
    QTemporaryDir root(under + QStringLiteral("/folimar-kill-XXXXXX"));
    QVERIFY(root.isValid());
    const QString base = root.filePath(QStringLiteral("base"));
    const QString mergeFolder = root.filePath(QStringLiteral("merge"));
    const QString work = root.filePath(QStringLiteral("work"));
    const QString bookName = QStringLiteral("/untitled.fmr");

    {
        StoreSession book(base, QString());
        for (int i = 1; i <= BookTopics; ++i)
            QVERIFY(book.store.storeTopic(wholeTopic(i, QStringLiteral("t%1").arg(i))));
        for (int i = 1; i <= BookTopics; i += 7)
            QVERIFY(book.store.writeNote(i, QStringLiteral("t%1").arg(i), QStringLiteral("note")));
        book.store.CloseAndCompactBook();
        StoreSession merge(mergeFolder, QString());
        for (int i = 1; i <= MergeTopics; ++i)
            QVERIFY(merge.store.storeTopic(wholeTopic(i, QStringLiteral("m%1").arg(i))));
        merge.store.CloseAndCompactBook();
    }
    const QString mergeBook = mergeFolder + bookName;

    // The state after each step of the first session, and where the second session takes
    // each of them.
    QList<QByteArray> states;
    QHash<QByteArray, QByteArray> nextSessionOf;
    for (int steps = 0; steps < stepCount(); ++steps) {
        copyFolder(base, work);
        {
            StoreSession first(work, work + bookName);
            for (int step = 0; step < steps; ++step)
                QVERIFY(runStep(first.store, 0, step, mergeBook));
            states.append(digestOf(first.store));
        }
        StoreSession second(work, work + bookName);
        for (int step = 0; step < stepCount(); ++step)
            QVERIFY(runStep(second.store, 1, step, mergeBook));
        StoreSession reopened(work, work + bookName);
        QString broken;
        QVERIFY2(everyTopicWhole(reopened.store, &broken), qPrintable(broken));
        nextSessionOf.insert(states.last(), digestOf(reopened.store));
    }
    states.append(states.last()); // compaction changes no topic

    copyFolder(base, work);
    const QStringList args{work, work + bookName, mergeBook, QStringLiteral("0")};
    const QList<int> times = stepTimes(args);

    QRandomGenerator random(20261207);
    QList<int> inside(stepCount(), 0);
    int afterStep = 0;
    int nextSessions = 0;
    for (int round = 0; round < Rounds; ++round) {
        const int step = qMin(round % (stepCount() + 3), stepCount() - 1);
        const int delay = int(random.bounded(times[step] * 13 / 10 + 1));
        copyFolder(base, work);
        const WorkerRun run = runAndKill(args, step, delay);
        QVERIFY2(run.lastBegun >= 0, "the worker did not start");
        const int cut = run.lastBegun;
        if (run.lastDone == cut || run.exited)
            ++afterStep;
        else
            ++inside[cut];

        const QString where = QStringLiteral("round %1, step %2").arg(round).arg(cut);
        QCOMPARE(integrityOf(work + bookName) + QLatin1Char(' ') + where,
                 QStringLiteral("ok ") + where);
        QCOMPARE(integrityOf(work + QStringLiteral("/notes/untitled.nts")), QStringLiteral("ok"));
        QByteArray left;
        {
            StoreSession after(work, work + bookName);
            QVERIFY2(after.store.hasBook() && !after.store.ReadOnlyMode, qPrintable(where));
            left = digestOf(after.store);
        }
        QVERIFY2(left == states[cut] || left == states[cut + 1],
                 qPrintable(where + QStringLiteral(": neither before nor after the step")));

        // The next session, on what the kill left behind.
        {
            StoreSession next(work, work + bookName);
            for (int s = 0; s < stepCount(); ++s)
                QVERIFY2(runStep(next.store, 1, s, mergeBook), qPrintable(where));
        }
        QCOMPARE(integrityOf(work + bookName), QStringLiteral("ok"));
        // Every topic of both sessions whole: the same book as the next session makes on
        // an unbroken first one (whose topics were checked one by one above).
        StoreSession reopened(work, work + bookName);
        QVERIFY2(digestOf(reopened.store) == nextSessionOf.value(left),
                 qPrintable(where + QStringLiteral(": the next session lost or broke topics")));
        QVERIFY2(QDir(work).entryList({QStringLiteral("temp*")}, QDir::Files).isEmpty(),
                 qPrintable(where + QStringLiteral(": a compaction copy was left behind")));
        ++nextSessions;
    }
    int killedInside = 0;
    for (int count : inside)
        killedInside += count;
    qInfo("%d kills: %d inside a step (per step: %s), %d just after one; %d next sessions "
          "checked",
          Rounds, killedInside, qPrintable([&] {
              QStringList parts;
              for (int count : inside)
                  parts.append(QString::number(count));
              return parts.join(QLatin1Char(' '));
          }()),
          afterStep, nextSessions);
    QVERIFY(killedInside >= Rounds / 2);
}

QTEST_GUILESS_MAIN(CrashConsistencyTest)
#include "tst_crashconsistency.moc"
