#pragma once

#include <QObject>
#include <QRect>
#include <optional>

class QWidget;
class QWindow;

namespace folimar::reader {

// The size the window's frame adds; nothing is known of it before the window is first shown.
QSize FrameExtra(const QWidget& window);

// Places `window` so its frame covers `outer`, as far as its frame is known yet.
void PlaceByKnownFrame(QWidget& window, const QRect& outer);

// A window placed before it is shown has no frame yet, so its outer size is taken as its
// inner size. This places it again once it is first on screen and its frame is known, so a
// restored window comes back at the outer size it was saved with, not one frame larger.
// It belongs to the window and goes once it has done its work; a window moved or resized
// by anything else meanwhile stays where that put it.
class PendingPlacement final : public QObject {
    Q_OBJECT

public:
    PendingPlacement(QWidget& window, const QRect& outer);
    // Where the window is meant to go, while nothing else has moved or resized it.
    std::optional<QRect> outer() const;
    // Call after placing the window again (before its frame is known) at `outer`.
    void setOuter(const QRect& outer);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watchHandle();

    QWidget& window_;
    QRect outer_;
    QRect placed_; // the window's position and inner size as placed
    QWindow* handle_ = nullptr;
};

} // namespace folimar::reader
