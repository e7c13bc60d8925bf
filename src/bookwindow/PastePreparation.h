#pragma once

#include "pictures/PictureReading.h"

#include <QFutureWatcher>
#include <QImage>
#include <QObject>
#include <QString>

namespace folimar::bookwindow {

// A pasted picture made ready to be stored: decoded whole and turned level when chosen, or
// why it cannot be pasted (`refusal` ends a sentence).
struct PreparedPaste {
    QImage picture;
    QString refusal;
    bool turned = false; // the picture was turned level: it differs from the one shown
};

// Makes a pasted picture ready on a worker thread, so that the window shows the picture as
// pasted meanwhile and keeps answering. Only the latest request is answered: a new one, or
// cancel(), drops the one before, whose worker ends on its own.
class PastePreparation final : public QObject {
    Q_OBJECT
public:
    explicit PastePreparation(QObject* parent = nullptr);
    ~PastePreparation() override;

    void start(const pictures::ClipboardOffer& offer, bool level);
    void cancel();
    bool isRunning() const { return watcher_ != nullptr; }

Q_SIGNALS:
    void prepared(const folimar::bookwindow::PreparedPaste& paste);

private:
    void finish(quint64 serial);

    QFutureWatcher<PreparedPaste>* watcher_ = nullptr;
    quint64 serial_ = 0;
};

} // namespace folimar::bookwindow
