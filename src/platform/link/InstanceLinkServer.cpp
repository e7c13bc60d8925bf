#include "platform/link/InstanceLinkServer.h"

#include "platform/link/InstanceLinkAddress.h"
#include "platform/link/InstanceLinkClient.h"
#include "platform/link/LinkLogging.h"
#include "platform/link/OpenRequestFrame.h"

#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace folimar::platform {

namespace {

// Why `path` cannot be a book, or nothing: a path that does not exist yet may name a new
// book; one that exists must be a regular file outside the system's own file systems.
QString whyNotABook(const QString& path) {
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    if (!S_ISREG(info.st_mode))
        return QStringLiteral("it is not a regular file");
    const QString real = QFileInfo(path).canonicalFilePath();
    for (const char* system : {"/proc/", "/sys/", "/dev/"}) {
        if (real.startsWith(QLatin1String(system)))
            return QStringLiteral("it is a file of the system, not a book");
    }
    return {};
}

} // namespace

InstanceLinkServer::InstanceLinkServer(QString socketPath, QObject* parent)
    : InstanceLinkServer(std::move(socketPath), Limits{}, parent) {}

InstanceLinkServer::InstanceLinkServer(QString socketPath, Limits limits, QObject* parent)
    : QObject(parent), socketPath_(std::move(socketPath)), limits_(limits),
      server_(new QLocalServer(this)) {
    server_->setMaxPendingConnections(limits_.connections);
    connect(server_, &QLocalServer::newConnection, this, &InstanceLinkServer::acceptConnections);
}

InstanceLinkServer::~InstanceLinkServer() = default;

bool InstanceLinkServer::isListening() const {
    return server_->isListening();
}

InstanceLinkServer::ListenResult InstanceLinkServer::fail(const QString& message) {
    errorString_ = message;
    qCWarning(lcLink, "%s", qUtf8Printable(message));
    return ListenResult::Failed;
}

InstanceLinkServer::ListenResult InstanceLinkServer::listen() {
    if (server_->isListening())
        return ListenResult::Listening;
    errorString_.clear();
    if (!QFileInfo(socketPath_).isAbsolute())
        return fail(QStringLiteral("no folder for the instance link"));
    // The socket is connectable between bind and chmod; a private folder keeps others out.
    const QString folder = QFileInfo(socketPath_).absolutePath();
    if (!IsPrivateFolder(folder))
        return fail(folder + QStringLiteral(" is not a private folder of this user"));

    if (!server_->listen(socketPath_)) {
        if (server_->serverError() != QAbstractSocket::AddressInUseError)
            return fail(server_->errorString());
        if (EarlierInstanceRunning(socketPath_)) {
            errorString_ = QStringLiteral("another instance listens on ") + socketPath_;
            return ListenResult::EarlierInstance;
        }
        if (!removeStaleSocketFile())
            return fail(errorString_);
        if (!server_->listen(socketPath_))
            return fail(server_->errorString());
    }
    if (::chmod(QFile::encodeName(socketPath_).constData(), 0600) != 0) {
        const QString reason = QString::fromLocal8Bit(strerror(errno));
        server_->close();
        return fail(QStringLiteral("cannot restrict ") + socketPath_ + QStringLiteral(": ") +
                    reason);
    }
    return ListenResult::Listening;
}

void InstanceLinkServer::close() {
    server_->close();
}

bool InstanceLinkServer::removeStaleSocketFile() {
    const QByteArray native = QFile::encodeName(socketPath_);
    struct stat info = {};
    if (::lstat(native.constData(), &info) != 0) {
        // Gone meanwhile: the name is free again.
        return errno == ENOENT;
    }
    if (S_ISDIR(info.st_mode) || info.st_uid != ::getuid()) {
        errorString_ = socketPath_ + QStringLiteral(" is in the way and is not ours to remove");
        return false;
    }
    qCInfo(lcLink, "replacing the stale socket file %s", native.constData());
    if (::unlink(native.constData()) != 0 && errno != ENOENT) {
        errorString_ = QStringLiteral("cannot remove ") + socketPath_ + QStringLiteral(": ") +
                       QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    return true;
}

void InstanceLinkServer::acceptConnections() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        if (connections_ >= limits_.connections) {
            qCWarning(lcLink, "refusing a link connection: %d are open", connections_);
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++connections_;
        connect(socket, &QObject::destroyed, this, [this] { --connections_; });
        // A connection that stays silent is ended; each whole request gives it more time.
        auto* silence = new QTimer(socket);
        silence->setSingleShot(true);
        silence->setInterval(limits_.silence);
        connect(silence, &QTimer::timeout, socket, [socket] {
            qCWarning(lcLink, "ending a link connection that stayed silent");
            socket->abort();
            socket->deleteLater();
        });
        silence->start();
        auto reader = std::make_shared<OpenRequestReader>();
        connect(socket, &QLocalSocket::readyRead, socket,
                [this, socket, reader] { readRequests(*socket, *reader); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // Bytes that came with the connection announce no further readyRead.
        if (socket->bytesAvailable() > 0)
            readRequests(*socket, *reader);
    }
}

void InstanceLinkServer::readRequests(QLocalSocket& socket, OpenRequestReader& reader) {
    reader.append(socket.readAll());
    const QPointer<InstanceLinkServer> self(this);
    const QPointer<QLocalSocket> connection(&socket);
    QString path;
    for (;;) {
        switch (reader.next(path)) {
        case OpenRequestReader::Status::NeedMore:
            return;
        case OpenRequestReader::Status::Malformed:
            qCWarning(lcLink, "ending a link connection that sent no valid book path");
            socket.abort();
            socket.deleteLater();
            return;
        case OpenRequestReader::Status::Request:
            // Acknowledge before handing the path on: opening a book may wait for the
            // user's confirmations, and the sender has nothing to learn from them.
            socket.write(&OpenRequestAcknowledgement, 1);
            socket.flush();
            if (auto* silence = socket.findChild<QTimer*>())
                silence->start();
            handOver(path);
            if (self.isNull() || connection.isNull())
                return;
            break;
        }
    }
}

// Paths are handed on from the event loop, the latest of those that came meanwhile only:
// a burst of requests, or requests that arrive while a book is being opened, mean one
// switch to the last book asked for, not one per request.
void InstanceLinkServer::handOver(const QString& path) {
    const QString why = whyNotABook(path);
    if (!why.isEmpty()) {
        qCWarning(lcLink, "refusing the handed-over path %s: %s", qUtf8Printable(path),
                  qUtf8Printable(why));
        Q_EMIT openRefused(path, why);
        return;
    }
    const bool queued = !waiting_.isNull();
    waiting_ = path;
    if (!queued && !handingOver_)
        QTimer::singleShot(0, this, &InstanceLinkServer::handOverLatest);
}

void InstanceLinkServer::handOverLatest() {
    const QPointer<InstanceLinkServer> self(this);
    while (!waiting_.isNull()) {
        const QString path = std::exchange(waiting_, QString());
        handingOver_ = true;
        Q_EMIT openRequested(path);
        if (self.isNull())
            return;
        handingOver_ = false;
    }
}

} // namespace folimar::platform
