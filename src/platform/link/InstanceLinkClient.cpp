#include "platform/link/InstanceLinkClient.h"

#include "platform/link/LinkLogging.h"
#include "platform/link/OpenRequestFrame.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocalSocket>

namespace folimar::platform {

namespace {

// A listening server completes a local connection at once; this only bounds a stuck one.
constexpr int ProbeTimeLimitMs = 1000;

bool WriteAll(QLocalSocket& socket, const QByteArray& bytes, const QDeadlineTimer& deadline) {
    if (socket.write(bytes) != bytes.size())
        return false;
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
            return false;
    }
    return true;
}

bool ReadAcknowledgement(QLocalSocket& socket, const QDeadlineTimer& deadline) {
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
    char answer = 0;
    return socket.getChar(&answer) && answer == OpenRequestAcknowledgement;
}

} // namespace

bool SendOpenRequest(const QString& path, const QString& socketPath,
                     std::chrono::milliseconds timeLimit) {
    if (path.isEmpty() || socketPath.isEmpty())
        return false;
    // The receiver runs in another folder: a relative path would name another file there.
    const QByteArray request = EncodeOpenRequest(QFileInfo(path).absoluteFilePath());
    if (request.isEmpty()) {
        qCWarning(lcLink, "cannot hand over the book path %s", qUtf8Printable(path));
        return false;
    }
    const QDeadlineTimer deadline(timeLimit);
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    const bool delivered = socket.waitForConnected(int(deadline.remainingTime())) &&
                           WriteAll(socket, request, deadline) &&
                           ReadAcknowledgement(socket, deadline);
    if (!delivered)
        qCInfo(lcLink, "the book path was not taken: %s", qUtf8Printable(socket.errorString()));
    socket.abort();
    return delivered;
}

bool EarlierInstanceRunning(const QString& socketPath) {
    if (socketPath.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    const bool running = socket.waitForConnected(ProbeTimeLimitMs);
    socket.abort();
    return running;
}

} // namespace folimar::platform
