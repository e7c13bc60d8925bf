#include "reader/PendingPlacement.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace folimar::reader {

QSize FrameExtra(const QWidget& window) {
    return window.frameGeometry().size() - window.geometry().size();
}

void PlaceByKnownFrame(QWidget& window, const QRect& outer) {
    window.resize((outer.size() - FrameExtra(window)).expandedTo(QSize(1, 1)));
    window.move(outer.topLeft());
}

PendingPlacement::PendingPlacement(QWidget& window, const QRect& outer)
    : QObject(&window), window_(window) {
    setOuter(outer);
    window.installEventFilter(this);
    watchHandle();
}

std::optional<QRect> PendingPlacement::outer() const {
    if (QRect(window_.pos(), window_.size()) != placed_)
        return std::nullopt;
    return outer_;
}

void PendingPlacement::setOuter(const QRect& outer) {
    outer_ = outer;
    placed_ = QRect(window_.pos(), window_.size());
}

// The native window exists from the window's first showing on.
void PendingPlacement::watchHandle() {
    if (handle_ || !window_.windowHandle())
        return;
    handle_ = window_.windowHandle();
    handle_->installEventFilter(this);
}

bool PendingPlacement::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && event->type() == QEvent::Show) {
        watchHandle();
    } else if (watched == handle_ && event->type() == QEvent::Expose && handle_->isExposed()) {
        if (const auto wanted = outer(); wanted && window_.windowState() == Qt::WindowNoState)
            PlaceByKnownFrame(window_, *wanted);
        handle_->removeEventFilter(this);
        window_.removeEventFilter(this);
        deleteLater();
    }
    return false;
}

} // namespace folimar::reader
