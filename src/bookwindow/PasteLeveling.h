#pragma once

#include <QFutureWatcher>
#include <QImage>
#include <QObject>

namespace folimar::bookwindow {

// Turns a pasted picture level on a worker thread, so that the window shows the picture as
// pasted meanwhile and keeps answering. Only the latest request is answered: a new one, or
// cancel(), drops the one before, whose worker ends on its own.
class PasteLeveling final : public QObject {
    Q_OBJECT
public:
    explicit PasteLeveling(QObject* parent = nullptr);
    ~PasteLeveling() override;

    void start(const QImage& picture);
    void cancel();
    bool isRunning() const { return watcher_ != nullptr; }

Q_SIGNALS:
    // The picture turned level, or the picture as it came when it was level already.
    void levelled(const QImage& picture);

private:
    void finish(quint64 serial);

    QFutureWatcher<QImage>* watcher_ = nullptr;
    quint64 serial_ = 0;
};

} // namespace folimar::bookwindow
