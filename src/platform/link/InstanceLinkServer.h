#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

namespace folimar::platform {

class OpenRequestReader;

// The running Folimar's end of the instance link: listens on `socketPath` (normally
// InstanceLinkPath(InstanceLinkFolder())) and hands every book path a later start sends
// to `openRequested`, on the thread that owns this object. The text is only ever a path.
// A listening server is how a later start knows an earlier instance runs. Closing (or
// destroying) the server removes its socket file.
class InstanceLinkServer : public QObject {
    Q_OBJECT
public:
    enum class ListenResult {
        Listening,       // this instance receives the books handed over
        EarlierInstance, // another instance already listens on the name; it is left alone
        Failed,          // no link (see errorString); the program runs without one
    };

    explicit InstanceLinkServer(QString socketPath, QObject* parent = nullptr);
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

private:
    ListenResult fail(const QString& message);
    bool removeStaleSocketFile();
    void acceptConnections();
    void readRequests(QLocalSocket& socket, OpenRequestReader& reader);

    QString socketPath_;
    QString errorString_;
    QLocalServer* server_ = nullptr;
};

} // namespace folimar::platform
