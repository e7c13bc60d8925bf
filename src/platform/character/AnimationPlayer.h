#pragma once

#include "platform/character/CharacterArt.h"

#include <QObject>
#include <QTimer>

namespace folimar::character {

// Steps through the frames of one animation at a time. It reports a frame only when it
// differs from the one shown, so a resting character repaints a few times a second at most.
class AnimationPlayer final : public QObject {
    Q_OBJECT
public:
    explicit AnimationPlayer(const CharacterArt& art, QObject* parent = nullptr);

    // Starts the named animation from its first frame; an unknown name shows "Idle".
    void play(const QString& animation);
    void pause();
    void resume();
    QString animation() const { return animation_; }
    QString frame() const { return frame_; }

Q_SIGNALS:
    void frameChanged(const QString& frame);
    // A non-looping animation showed its last frame for one interval.
    void finished(const QString& animation);

private:
    void showFrame(int index);
    void tick();

    const CharacterArt& art_;
    QString animation_;
    QString frame_;
    int index_ = 0;
    QTimer timer_;
};

} // namespace folimar::character
