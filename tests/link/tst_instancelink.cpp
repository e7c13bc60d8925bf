#include "platform/link/InstanceLinkAddress.h"
#include "platform/link/InstanceLinkClient.h"
#include "platform/link/InstanceLinkServer.h"
#include "platform/link/OpenRequestFrame.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <future>
#include <memory>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace folimar::platform;
using namespace std::chrono_literals;
using ListenResult = InstanceLinkServer::ListenResult;

namespace {

// The sender blocks, so it runs beside the event loop that serves the receiver.
std::future<bool> sendInBackground(const QString& path, const QString& socketPath,
                                   std::chrono::milliseconds timeLimit = 5s) {
    return std::async(std::launch::async,
                      [=] { return SendOpenRequest(path, socketPath, timeLimit); });
}

bool isReady(const std::future<bool>& future) {
    return future.wait_for(0ms) == std::future_status::ready;
}

QByteArray frame(const QByteArray& payload) {
    QByteArray header(OpenRequestHeaderSize, '\0');
    qToBigEndian(static_cast<quint32>(payload.size()), header.data());
    return header + payload;
}

// What a crash leaves behind: a bound socket file nobody listens on.
bool leaveDeadSocket(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    const auto closeSocket = qScopeGuard([fd] { ::close(fd); });
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    if (native.size() >= qsizetype(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, native.constData(), native.size());
    return ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

// A plain client socket, as any local program can open one; -1 when it cannot connect.
int connectRaw(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Whether the server has ended the connection (what it sent before is read and dropped).
bool endedByServer(int fd) {
    pollfd ready{fd, POLLIN, 0};
    if (::poll(&ready, 1, 0) <= 0)
        return false;
    char bytes[64];
    const ssize_t got = ::recv(fd, bytes, sizeof bytes, MSG_DONTWAIT);
    return got == 0 || (got < 0 && errno == ECONNRESET);
}

mode_t modeOf(const QString& path) {
    struct stat info = {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

class EnvironmentRestorer {
public:
    explicit EnvironmentRestorer(const char* name)
        : name_(name), wasSet_(qEnvironmentVariableIsSet(name)), value_(qgetenv(name)) {}
    ~EnvironmentRestorer() {
        if (wasSet_)
            qputenv(name_, value_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    bool wasSet_;
    QByteArray value_;
};

} // namespace

class TestInstanceLink : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString folder() const { return dir_->path(); }
    QString socketPath() const { return InstanceLinkPath(folder()); }

private Q_SLOTS:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
    }

    void pathArrivesWholeOnTheReceiversThread_data() {
        QTest::addColumn<QString>("sent");
        QTest::addColumn<QString>("received");
        QTest::newRow("spaces") << "/home/ann/My Books/first book.fmr"
                                << "/home/ann/My Books/first book.fmr";
        const QString unicode =
            QStringLiteral("/home/ann/B\u00fccher/\u65e5\u672c \u2603 \U0001F4D6.fmr");
        QTest::newRow("unicode") << unicode << unicode;
        QTest::newRow("line break and comma") << "/tmp/a\nb, c.fmr"
                                              << "/tmp/a\nb, c.fmr";
        QTest::newRow("relative to the sender")
            << "books/x.fmr" << QDir::currentPath() + "/books/x.fmr";
    }
    void pathArrivesWholeOnTheReceiversThread() {
        QFETCH(QString, sent);
        QFETCH(QString, received);
        InstanceLinkServer server(socketPath());
        QCOMPARE(server.listen(), ListenResult::Listening);
        QThread* deliveredOn = nullptr;
        connect(&server, &InstanceLinkServer::openRequested, this,
                [&deliveredOn] { deliveredOn = QThread::currentThread(); });
        QSignalSpy requested(&server, &InstanceLinkServer::openRequested);

        auto sending = sendInBackground(sent, server.socketPath());
        QVERIFY(requested.wait());
        QTRY_VERIFY(isReady(sending));
        QVERIFY(sending.get());
        QCOMPARE(requested.size(), 1);
        QCOMPARE(requested.at(0).at(0).toString(), received);
        QCOMPARE(deliveredOn, QThread::currentThread());
    }

    void requestsInPiecesOrTogetherAreEachDeliveredAndAcknowledged() {
        InstanceLinkServer server(socketPath());
        QCOMPARE(server.listen(), ListenResult::Listening);
        QSignalSpy requested(&server, &InstanceLinkServer::openRequested);

        QLocalSocket peer;
        peer.connectToServer(server.socketPath());
        QVERIFY(peer.waitForConnected(1000));
        const QByteArray all = EncodeOpenRequest("/b/one.fmr") + EncodeOpenRequest("/b/two.fmr") +
                               EncodeOpenRequest("/b/three.fmr");
        // Two whole requests in one write (the later one is handed on), the third a byte at
        // a time.
        const qsizetype split = all.size() - EncodeOpenRequest("/b/three.fmr").size();
        peer.write(all.left(split));
        QTRY_COMPARE(requested.size(), 1);
        for (qsizetype i = split; i < all.size(); ++i) {
            peer.write(all.mid(i, 1));
            QVERIFY(peer.waitForBytesWritten(1000));
            QCoreApplication::processEvents();
        }
        QTRY_COMPARE(requested.size(), 2);
        QTRY_COMPARE(peer.bytesAvailable(), 3);
        QCOMPARE(peer.readAll(), QByteArray(3, OpenRequestAcknowledgement));
        QCOMPARE(requested.at(0).at(0).toString(), "/b/two.fmr");
        QCOMPARE(requested.at(1).at(0).toString(), "/b/three.fmr");
    }

    void badInputEndsTheConnectionAndTheServerGoesOn_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("delivered");
        QTest::newRow("huge length") << QByteArray("\xff\xff\xff\xff/x", 6) << 0;
        QTest::newRow("one byte over the limit")
            << frame(QByteArray("/") + QByteArray(MaxOpenRequestBytes, 'a')) << 0;
        QTest::newRow("invalid UTF-8") << frame("/books/\xc3\x28.fmr") << 0;
        QTest::newRow("cut UTF-8 sequence") << frame("/books/\xe6\x97") << 0;
        QTest::newRow("relative path") << frame("books/x.fmr") << 0;
        QTest::newRow("empty path") << frame("") << 0;
        QTest::newRow("NUL inside") << frame(QByteArray("/a\0/b.fmr", 9)) << 0;
        QTest::newRow("good, then garbage")
            << EncodeOpenRequest("/ok.fmr") + frame("rm -rf ~") + EncodeOpenRequest("/late.fmr")
            << 1;
    }
    void badInputEndsTheConnectionAndTheServerGoesOn() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, delivered);
        QTest::ignoreMessage(QtWarningMsg, "ending a link connection that sent no valid book path");
        InstanceLinkServer server(socketPath());
        QCOMPARE(server.listen(), ListenResult::Listening);
        QSignalSpy requested(&server, &InstanceLinkServer::openRequested);

        QLocalSocket peer;
        peer.connectToServer(server.socketPath());
        QVERIFY(peer.waitForConnected(1000));
        peer.write(bytes);
        QTRY_COMPARE(peer.state(), QLocalSocket::UnconnectedState);
        QTRY_COMPARE(requested.size(), delivered);
        QCOMPARE(peer.readAll(), QByteArray(delivered, OpenRequestAcknowledgement));

        auto sending = sendInBackground("/after.fmr", server.socketPath());
        QTRY_VERIFY(isReady(sending));
        QVERIFY(sending.get());
        QTRY_COMPARE(requested.size(), delivered + 1);
        QCOMPARE(requested.last().at(0).toString(), "/after.fmr");
    }

    // Any local program can connect: the server holds only a few connections, and ends
    // those that stay silent, or send half a request and stop.
    void connectionsAreCappedAndSilentOnesEnded() {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("refusing a link connection"));
        QTest::ignoreMessage(QtWarningMsg, "ending a link connection that stayed silent");
        InstanceLinkServer server(socketPath(), InstanceLinkServer::Limits{4, 300ms});
        QCOMPARE(server.listen(), ListenResult::Listening);
        std::vector<int> peers;
        const auto closePeers = qScopeGuard([&peers] {
            for (const int fd : peers)
                ::close(fd);
        });
        const QByteArray headerOnly = frame("/books/never-sent.fmr").left(OpenRequestHeaderSize);
        for (int i = 0; i < 12; ++i) {
            peers.push_back(connectRaw(server.socketPath()));
            QVERIFY(peers.back() >= 0);
            if (i % 2 == 0)
                QCOMPARE(::send(peers.back(), headerOnly.constData(), size_t(headerOnly.size()), 0),
                         ssize_t(headerOnly.size()));
        }
        const auto ended = [&peers] {
            return std::count_if(peers.begin(), peers.end(), endedByServer);
        };
        // Those over the limit at once, the rest once they have been silent a while.
        QTRY_VERIFY(ended() >= 8);
        QTRY_COMPARE_WITH_TIMEOUT(ended(), 12, 3000);

        // The server still takes a request that comes whole.
        QSignalSpy requested(&server, &InstanceLinkServer::openRequested);
        auto sending = sendInBackground("/after.fmr", server.socketPath());
        QTRY_VERIFY(isReady(sending));
        QVERIFY(sending.get());
        QTRY_COMPARE(requested.size(), 1);
    }

    // A burst of hand-overs is one switch, to the last book asked for; each is answered.
    void burstOfHandOversOpensTheLatestOnly() {
        InstanceLinkServer server(socketPath());
        QCOMPARE(server.listen(), ListenResult::Listening);
        QSignalSpy requested(&server, &InstanceLinkServer::openRequested);
        std::vector<int> peers;
        const auto closePeers = qScopeGuard([&peers] {
            for (const int fd : peers)
                ::close(fd);
        });
        for (int i = 0; i < 10; ++i) {
            peers.push_back(connectRaw(server.socketPath()));
            QByteArray requests;
            for (int j = 0; j < 30; ++j)
                requests += EncodeOpenRequest(QStringLiteral("/books/%1-%2.fmr").arg(i).arg(j));
            QCOMPARE(::send(peers.back(), requests.constData(), size_t(requests.size()), 0),
                     ssize_t(requests.size()));
        }
        QByteArray answers;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                char bytes[512];
                for (const int fd : peers) {
                    const ssize_t got = ::recv(fd, bytes, sizeof bytes, MSG_DONTWAIT);
                    if (got > 0)
                        answers.append(bytes, got);
                }
                return answers.size() == 300;
            }(),
            5000);
        QCOMPARE(answers, QByteArray(300, OpenRequestAcknowledgement));
        QTRY_VERIFY(!requested.isEmpty());
        QTest::qWait(50);
        QVERIFY2(requested.size() <= 10, qPrintable(QString::number(requested.size())));
        QCOMPARE(requested.last().at(0).toString(), "/books/9-29.fmr");
    }

    void pathsThatAreNotBooksAreRefused_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("pipe") << "pipe";
        QTest::newRow("folder") << "folder";
        QTest::newRow("device") << "/dev/zero";
        QTest::newRow("process memory") << "/proc/self/mem";
        QTest::newRow("link to process memory") << "link";
    }
    void pathsThatAreNotBooksAreRefused() {
        QFETCH(QString, path);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("refusing the handed-over path"));
        const QDir dir(folder());
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("pipe")).constData(), 0600), 0);
        QVERIFY(dir.mkdir("folder"));
        QVERIFY(QFile::link("/proc/self/mem", dir.filePath("link")));
        if (QDir::isRelativePath(path))
            path = dir.filePath(path);
        InstanceLinkServer server(socketPath());
        QCOMPARE(server.listen(), ListenResult::Listening);
        QSignalSpy requested(&server, &InstanceLinkServer::openRequested);
        QSignalSpy refused(&server, &InstanceLinkServer::openRefused);

        auto sending = sendInBackground(path, server.socketPath());
        QTRY_VERIFY(isReady(sending));
        QVERIFY(sending.get());
        QTRY_COMPARE(refused.size(), 1);
        QCOMPARE(refused.at(0).at(0).toString(), path);
        QVERIFY(!refused.at(0).at(1).toString().isEmpty());
        QTest::qWait(20);
        QCOMPARE(requested.size(), 0);
    }

    void fileLeftByACrashIsReplaced_data() {
        QTest::addColumn<bool>("asSocket");
        QTest::newRow("dead socket") << true;
        QTest::newRow("plain file") << false;
    }
    void fileLeftByACrashIsReplaced() {
        QFETCH(bool, asSocket);
        if (asSocket) {
            QVERIFY(leaveDeadSocket(socketPath()));
        } else {
            QFile file(socketPath());
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QVERIFY(!EarlierInstanceRunning(socketPath()));
        QVERIFY(!SendOpenRequest("/nobody.fmr", socketPath()));

        InstanceLinkServer server(socketPath());
        QCOMPARE(server.listen(), ListenResult::Listening);
        QVERIFY(EarlierInstanceRunning(socketPath()));
        QSignalSpy requested(&server, &InstanceLinkServer::openRequested);
        auto sending = sendInBackground("/taken.fmr", socketPath());
        QVERIFY(requested.wait());
        QTRY_VERIFY(isReady(sending));
        QVERIFY(sending.get());
    }

    void liveServerIsNeverReplaced() {
        InstanceLinkServer first(socketPath());
        QCOMPARE(first.listen(), ListenResult::Listening);
        QSignalSpy firstRequested(&first, &InstanceLinkServer::openRequested);
        {
            InstanceLinkServer second(socketPath());
            QCOMPARE(second.listen(), ListenResult::EarlierInstance);
            QVERIFY(!second.isListening());
        }
        // The second one gave up without taking the name away.
        QVERIFY(QFile::exists(socketPath()));
        auto sending = sendInBackground("/first.fmr", socketPath());
        QVERIFY(firstRequested.wait());
        QTRY_VERIFY(isReady(sending));
        QVERIFY(sending.get());

        first.close();
        QVERIFY(!QFile::exists(socketPath()));
        QVERIFY(!EarlierInstanceRunning(socketPath()));
    }

    void senderWithoutAnAnswerGivesUp() {
        // Nothing there at all.
        QVERIFY(!SendOpenRequest("/book.fmr", socketPath(), 300ms));
        QVERIFY(!SendOpenRequest("/book.fmr", QString(), 300ms));
        // Someone listens but never answers: the sender ends after its time limit.
        QLocalServer mute;
        QVERIFY(mute.listen(socketPath()));
        QVERIFY(!SendOpenRequest("/book.fmr", socketPath(), 300ms));
    }

    void linkIsPrivateToTheUser() {
        InstanceLinkServer server(socketPath());
        QCOMPARE(server.listen(), ListenResult::Listening);
        QCOMPARE(modeOf(socketPath()) & 0777, mode_t(0600));
        server.close();

        QVERIFY(QFile::setPermissions(folder(), QFile::ReadOwner | QFile::WriteOwner |
                                                    QFile::ExeOwner | QFile::ReadOther |
                                                    QFile::ExeOther));
        InstanceLinkServer exposed(socketPath());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("is not a private folder"));
        QCOMPARE(exposed.listen(), ListenResult::Failed);
        QVERIFY(!QFile::exists(socketPath()));
    }

    void linkFolderIsTheRuntimeFolderOrAPrivateOne() {
        const EnvironmentRestorer runtime("XDG_RUNTIME_DIR");
        const EnvironmentRestorer temp("TMPDIR");
        QVERIFY(QDir(folder()).mkdir("run"));
        QVERIFY(QDir(folder()).mkdir("tmp"));
        const QString runFolder = folder() + "/run";
        qputenv("TMPDIR", QFile::encodeName(folder() + "/tmp"));
        const QString fallback = folder() + "/tmp/folimar-" + QString::number(::getuid());

        QVERIFY(QFile::setPermissions(runFolder,
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runFolder));
        QCOMPARE(InstanceLinkFolder(), runFolder);
        QCOMPARE(InstanceLinkPath(runFolder), runFolder + "/folimar-open_lnk");

        // A runtime folder others may enter is not used, nor changed.
        QCOMPARE(::chmod(QFile::encodeName(runFolder).constData(), 0755), 0);
        QCOMPARE(InstanceLinkFolder(), fallback);
        QCOMPARE(modeOf(fallback), mode_t(0700));
        QCOMPARE(modeOf(runFolder), mode_t(0755));

        // A fallback folder of ours that others could enter is closed again.
        qunsetenv("XDG_RUNTIME_DIR");
        QCOMPARE(::chmod(QFile::encodeName(fallback).constData(), 0777), 0);
        QCOMPARE(InstanceLinkFolder(), fallback);
        QCOMPARE(modeOf(fallback), mode_t(0700));
    }

    void anotherProcessHandsItsBookOver() {
        // A second start sends and ends; the running one receives.
        InstanceLinkServer server(socketPath());
        QCOMPARE(server.listen(), ListenResult::Listening);
        QSignalSpy requested(&server, &InstanceLinkServer::openRequested);
        QProcess sender;
        sender.start(LINK_PEER, {"send", socketPath(), "/home/ann/Second start.fmr"});
        QTRY_COMPARE_WITH_TIMEOUT(sender.state(), QProcess::NotRunning, 20000);
        QCOMPARE(sender.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sender.exitCode(), 0);
        QTRY_COMPARE(requested.size(), 1);
        QCOMPARE(requested.at(0).at(0).toString(), "/home/ann/Second start.fmr");
        server.close();

        // The other way round; the receiver then dies and leaves its socket file behind.
        QProcess receiver;
        receiver.start(LINK_PEER, {"listen", socketPath()});
        const auto killReceiver = qScopeGuard([&receiver] {
            receiver.kill();
            receiver.waitForFinished();
        });
        QVERIFY(receiver.waitForReadyRead(10000));
        QCOMPARE(receiver.readLine(), "listening\n");
        QVERIFY(EarlierInstanceRunning(socketPath()));
        QCOMPARE(InstanceLinkServer(socketPath()).listen(), ListenResult::EarlierInstance);
        QVERIFY(SendOpenRequest("/home/ann/b\u00fccher.fmr", socketPath()));
        QTRY_VERIFY(receiver.canReadLine());
        QCOMPARE(QString::fromUtf8(receiver.readLine()), "/home/ann/b\u00fccher.fmr\n");

        receiver.kill();
        QVERIFY(receiver.waitForFinished());
        QVERIFY(QFile::exists(socketPath()));
        QCOMPARE(server.listen(), ListenResult::Listening);
    }
};

QTEST_GUILESS_MAIN(TestInstanceLink)
#include "tst_instancelink.moc"
