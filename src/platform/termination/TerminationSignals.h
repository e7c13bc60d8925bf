#pragma once

#include <QObject>
#include <csignal>

class QSocketNotifier;

namespace folimar::platform {

// Turns SIGTERM, SIGINT and SIGHUP into `terminationRequested` on the thread that owns this
// object, so that a logout, kill or Ctrl+C ends the program through the same shutdown step
// as closing a main window. The handlers only write a byte to a socket pair; the notifier
// reads it in the event loop. One instance at a time: a second one stays inactive. The
// previous handlers come back when the object is destroyed.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    bool isActive() const { return notifier_ != nullptr; }
    // Readable once a signal has come and is not yet reported, for a wait outside the event
    // loop; -1 when inactive.
    int pendingDescriptor() const { return isActive() ? fds_[0] : -1; }
    // Reports a signal that has come without waiting for the event loop.
    void reportPending() { readSignals(); }

Q_SIGNALS:
    void terminationRequested(int signalNumber);

private:
    void readSignals();
    void restoreHandlers();

    int fds_[2] = {-1, -1}; // [0] read here, [1] written by the handler
    QSocketNotifier* notifier_ = nullptr;
    struct sigaction previous_[3] = {}; // SIGTERM, SIGINT, SIGHUP
    bool installed_[3] = {};
};

} // namespace folimar::platform
