#pragma once

#include "platform/character/AnimationPlayer.h"
#include "platform/character/CharacterArt.h"

#include <QHash>
#include <QPixmap>
#include <QWidget>

namespace folimar::character {

// The character's own window: frameless, see-through around the art, above other windows.
// It draws the current frame and turns the mouse into clicks, drags and menu requests.
class CharacterStage final : public QWidget {
    Q_OBJECT
public:
    explicit CharacterStage(const CharacterArt& art, QWidget* parent = nullptr);

    AnimationPlayer& player() { return player_; }

Q_SIGNALS:
    // button: 1 left, 2 right, 4 middle; shift: 1 Shift, 2 Ctrl, 4 Alt; screen position.
    void clicked(int button, int shift, QPoint global);
    void dragged(QPoint topLeft);
    void menuRequested(QPoint global);
    void geometryChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    const QPixmap& picture(const QString& frame);
    void updateShape();

    const CharacterArt& art_;
    AnimationPlayer player_;
    QHash<QString, QPixmap> pictures_; // frames drawn at the current size
    QPoint pressedAt_;
    QPoint topLeftAtPress_;
    bool pressed_ = false;
    bool dragging_ = false;
};

} // namespace folimar::character
