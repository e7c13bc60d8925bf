#pragma once

#include <QObject>
#include <QString>

namespace folimar::character {

// Something that says one text at a time. After speak() it emits `started` and then
// `finished` exactly once, unless stop() ends the utterance first (then neither follows).
// Engines that know where each word is heard also emit `wordReached` between the two.
class Voice : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual void speak(const QString& text) = 0;
    virtual void stop() = 0;
    // How long one word takes at the current rate; the balloon paces its words by it.
    virtual int msPerWord() const = 0;

Q_SIGNALS:
    void started();
    // The word at `offset` (a position in the spoken text) with `length` characters is heard.
    void wordReached(int offset, int length);
    void finished();
};

} // namespace folimar::character
