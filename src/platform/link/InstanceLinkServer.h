#pragma once

#include <QObject>
#include <QString>
#include <chrono>

class QLocalServer;
class QLocalSocket;

namespace folimar::platform {

class OpenRequestReader;

// The running Folimar's end of the instance link: listens on `socketPath` (normally
// InstanceLinkPath(InstanceLinkFolder())) and hands every book path a later start sends
// to `openRequested`, on the thread that owns this object. The text is only ever a path.
// A listening server is how a later start knows an earlier instance runs. Closing (or
// destroying) the server removes its socket file.
//
// Whatever connects is held to limits: a few connections at a time, each ended when it
// stays silent too long; requests that arrive while one is being handed on collapse to
// the latest; and a path that names something other than a regular file (a pipe, a
// folder, a device, a file of the system's own) is refused, never handed on.
class InstanceLinkServer : public QObject {
    Q_OBJECT
public:
    enum class ListenResult {
        Listening,       // this instance receives the books handed over
        EarlierInstance, // another instance already listens on the name; it is left alone
        Failed,          // no link (see errorString); the program runs without one
    };

    struct Limits {
        int connections = 16;
        // How long a connection may go without completing a request.
        std::chrono::milliseconds silence{5000};
    };

    explicit InstanceLinkServer(QString socketPath, QObject* parent = nullptr);
    InstanceLinkServer(QString socketPath, Limits limits, QObject* parent = nullptr);
    ~InstanceLinkServer() override;

    // Listens on the socket path, in a folder only this user may enter, with the socket
    // readable and writable by this user alone. A socket file that nobody accepts on (left
    // by a crash) is replaced; a live one never is.
    ListenResult listen();
    void close();

    bool isListening() const;
    QString socketPath() const { return socketPath_; }
    QString errorString() const { return errorString_; }

Q_SIGNALS:
    void openRequested(const QString& path);
    // A path that cannot be a book was handed over; `why` says so in words.
    void openRefused(const QString& path, const QString& why);

private:
    ListenResult fail(const QString& message);
    bool removeStaleSocketFile();
    void acceptConnections();
    void readRequests(QLocalSocket& socket, OpenRequestReader& reader);
    void handOver(const QString& path);
    void handOverLatest();

    QString socketPath_;
    Limits limits_;
    int connections_ = 0;
    QString waiting_; // the latest path not yet handed on
    bool handingOver_ = false;
    QString errorString_;
    QLocalServer* server_ = nullptr;
};

} // namespace folimar::platform
