#include "platform/character/AnimationPlayer.h"

namespace folimar::character {

AnimationPlayer::AnimationPlayer(const CharacterArt& art, QObject* parent)
    : QObject(parent), art_(art) {
    connect(&timer_, &QTimer::timeout, this, &AnimationPlayer::tick);
}

void AnimationPlayer::play(const QString& animation) {
    animation_ = art_.animations.contains(animation) ? animation : QStringLiteral("Idle");
    const CharacterArt::Animation& current = art_.animations[animation_];
    showFrame(0);
    // One still frame that loops needs no timer at all.
    if (current.loop && current.frames.size() == 1)
        timer_.stop();
    else
        timer_.start(current.intervalMs);
}

void AnimationPlayer::pause() {
    timer_.stop();
}

void AnimationPlayer::resume() {
    if (!animation_.isEmpty())
        play(animation_);
}

void AnimationPlayer::showFrame(int index) {
    index_ = index;
    const QString& next = art_.animations[animation_].frames.at(index);
    if (next != frame_) {
        frame_ = next;
        Q_EMIT frameChanged(frame_);
    }
}

void AnimationPlayer::tick() {
    const CharacterArt::Animation& current = art_.animations[animation_];
    if (index_ + 1 < current.frames.size()) {
        showFrame(index_ + 1);
    } else if (current.loop) {
        showFrame(0);
    } else {
        timer_.stop();
        Q_EMIT finished(animation_);
    }
}

} // namespace folimar::character
