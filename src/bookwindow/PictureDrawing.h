#pragma once

#include "bookwindow/PagePicture.h"

#include <QFuture>
#include <QFutureWatcher>
#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

#include <functional>

namespace folimar::platform {
class Clock;
}

namespace folimar::bookwindow {

// Draws a page's stored picture on a worker thread, so that the window keeps answering
// while a large scan is decoded, and gives a drawing up once it has taken longer than its
// time bound. Only the latest request is ever answered: a drawing started for a page the
// user has since left is dropped when it ends.
class PictureDrawing final : public QObject {
    Q_OBJECT
public:
    // How a picture is drawn at a size (null when it cannot be), and how long the page
    // waits for it.
    struct Options {
        std::function<QImage(const PagePicture&, QSize)> draw;
        int boundMs = 5000;
    };

    PictureDrawing(platform::Clock& clock, Options options, QObject* parent = nullptr);
    ~PictureDrawing() override;

    // Starts drawing `picture` at `size`, giving up any drawing under way. When `ahead` is
    // a drawing of the same picture at that size already started, it is waited for instead.
    void start(const PagePicture& picture, QSize size, QFuture<QImage> ahead = {});
    // Gives up the drawing under way; neither signal follows.
    void cancel();
    bool isRunning() const { return watcher_ != nullptr; }

Q_SIGNALS:
    void drawn(const QImage& image);
    // The picture could not be drawn; `reason` says why in a few words.
    void failed(const QString& reason);

private:
    void finish(quint64 serial);
    void giveUp(quint64 serial);

    platform::Clock& clock_;
    Options options_;
    QFutureWatcher<QImage>* watcher_ = nullptr;
    quint64 serial_ = 0;
};

} // namespace folimar::bookwindow
