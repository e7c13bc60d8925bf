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
#include <cerrno>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace folimar::platform {

InstanceLinkServer::InstanceLinkServer(QString socketPath, QObject* parent)
    : QObject(parent), socketPath_(std::move(socketPath)), server_(new QLocalServer(this)) {
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
            Q_EMIT openRequested(path);
            if (self.isNull() || connection.isNull())
                return;
            break;
        }
    }
}

} // namespace folimar::platform
