#pragma once

#include <QObject>
#include <QPoint>
#include <QSize>
#include <QString>

namespace folimar::character {

// A queued request of a character (speech, animation, state). 0 means "no request".
using RequestId = qint64;

// Balloon style bits.
enum BalloonStyle : int {
    BalloonOn = 1,
    BalloonSizeToText = 2,
    BalloonAutoHide = 4,
    BalloonAutoPace = 8,
};

// Cause of a Move notification.
enum MoveCause : int { MovedByUser = 1, MovedByProgram = 2, MovedByOther = 3 };

// One loaded speaking character. Every queued request reports its completion exactly
// once through requestComplete, also when stop() cancels it. Notifications come on the
// user-interface thread.
class Character : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual QString name() const = 0;
    virtual void setLanguageId(int languageId) = 0;

    virtual int balloonStyle() const = 0;
    virtual void setBalloonStyle(int style) = 0;

    virtual void removeAllCommands() = 0;
    virtual void addCommand(const QString& name, const QString& caption) = 0;

    // Queues speech after earlier requests; the words show in the speech balloon.
    virtual RequestId speak(const QString& text) = 0;
    // Queues a request ("Animation"/"state", name) that completes only after every
    // request queued before it.
    virtual RequestId get(const QString& type, const QString& name) = 0;
    // Cancels the current and all queued requests; each still reports completion.
    virtual void stop() = 0;

    virtual void show() = 0;
    virtual void hide() = 0;
    virtual bool isVisible() const = 0;

    // Position and size in screen pixels.
    virtual QPoint position() const = 0;
    virtual void setPosition(QPoint topLeft) = 0;
    virtual QSize size() const = 0;
    virtual void setSize(QSize size) = 0;

    // The service's own settings window (voice, rate, pitch, volume).
    virtual void showPropertySheet() = 0;

Q_SIGNALS:
    void clicked(int button, int shift, int x, int y); // button: 1 left, 2 right, 4 middle
    void requestComplete(folimar::character::RequestId request);
    // The speech request `speech` is at the word of its text that starts at `offset` and
    // runs `length` characters. Only voices that know where each word is heard send it.
    void wordReached(folimar::character::RequestId speech, int offset, int length);
    void command(const QString& name);
    void moved(int x, int y, int cause);
};

// Loads characters under identifiers ("CharacterID"). A bare name is looked up in the
// installed characters folder, then in the user's; a path is taken as it is.
class CharacterService : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Returns the loaded character, or nullptr with `error` set when the file is missing
    // or damaged. Loading under an identifier in use replaces what it held.
    virtual Character* load(const QString& id, const QString& fileOrName, QString* error) = 0;
    virtual void unload(const QString& id) = 0;
    virtual Character* character(const QString& id) const = 0;

Q_SIGNALS:
    // No voice could be started, so characters pace their words without sound; `why` says
    // what failed. Sent once, while the characters are being loaded.
    void readingSilently(const QString& why);
};

} // namespace folimar::character
