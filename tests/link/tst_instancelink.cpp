#include "platform/link/InstanceLinkAddress.h"
#include "platform/link/InstanceLinkClient.h"
#include "platform/link/InstanceLinkServer.h"
#include "platform/link/OpenRequestFrame.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QtEndian>
#include <chrono>
#include <future>
#include <memory>
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
        // Two whole requests in one write, the third a byte at a time.
        const qsizetype split = all.size() - EncodeOpenRequest("/b/three.fmr").size();
        peer.write(all.left(split));
        QTRY_COMPARE(requested.size(), 2);
        for (qsizetype i = split; i < all.size(); ++i) {
            peer.write(all.mid(i, 1));
            QVERIFY(peer.waitForBytesWritten(1000));
            QCoreApplication::processEvents();
        }
        QTRY_COMPARE(requested.size(), 3);
        QTRY_COMPARE(peer.bytesAvailable(), 3);
        QCOMPARE(peer.readAll(), QByteArray(3, OpenRequestAcknowledgement));
        QCOMPARE(requested.at(0).at(0).toString(), "/b/one.fmr");
        QCOMPARE(requested.at(1).at(0).toString(), "/b/two.fmr");
        QCOMPARE(requested.at(2).at(0).toString(), "/b/three.fmr");
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
        QCOMPARE(requested.size(), delivered);
        QCOMPARE(peer.readAll(), QByteArray(delivered, OpenRequestAcknowledgement));

        auto sending = sendInBackground("/after.fmr", server.socketPath());
        QTRY_VERIFY(isReady(sending));
        QVERIFY(sending.get());
        QTRY_COMPARE(requested.size(), delivered + 1);
        QCOMPARE(requested.last().at(0).toString(), "/after.fmr");
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
        QCOMPARE(requested.size(), 1);
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
