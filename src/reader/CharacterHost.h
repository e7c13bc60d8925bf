#pragma once

#include "platform/character/Character.h"
#include "reader/AnchorFrame.h"

#include <QObject>
#include <QPointer>
#include <functional>

namespace folimar::platform {
class Dialogs;
}
namespace folimar::settings {
struct Settings;
}

namespace folimar::reader {

struct ReaderState;

// Owns the speaking character: loads it under "CharacterID", sets up its balloon and its
// menu command, sizes and places it, and turns its notifications into reader actions.
class CharacterHost final : public QObject {
    Q_OBJECT
public:
    static inline const QString CharacterId = QStringLiteral("CharacterID");

    CharacterHost(ReaderState& state, settings::Settings& settings,
                  character::CharacterService& service, platform::Dialogs& dialogs,
                  QObject* parent = nullptr);

    // The window the "Auto" placement stands the character beside (the book window).
    void setAnchorWindow(std::function<AnchorFrame()> anchor) { anchor_ = std::move(anchor); }
    // Title of the host's message boxes.
    void setProgramTitle(const QString& title) { programTitle_ = title; }

    // Loads and prepares the character from CharacterPath on first use (and again after a
    // failed load). True when a character is there.
    bool ensureLoaded();
    character::Character* character() const { return character_; }
    bool characterVisible() const { return character_ && character_->isVisible(); }
    QString characterName() const { return character_ ? character_->name() : QString(); }

    // Replaces the character by the file the user chose, and starts reading with it.
    void ReloadCharacter(const QString& path);
    void ApplyCharacterSize();
    void PlaceCharacter();

    // The character's own size as loaded, before CharacterSize.
    qint32 CharacterWidth = 0;
    qint32 CharacterHeight = 0;

Q_SIGNALS:
    void pauseToggleRequested(); // a left click on the character
    void speechRequestDone();    // RequestDone was set
    void characterUnloading();   // the character is about to go: stop waiting for it
    void characterReplaced();    // a new character is ready: read with it
    // The character's voice is at a word of the speech request `speech` (see Character).
    void wordReached(character::RequestId speech, int offset, int length);

private:
    bool load(const QString& file);
    void prepare(bool reload);
    void queueStartupRequest();
    void unload();

    // The user hears nothing from here on: say so, and why.
    void tellReadingSilently(const QString& why);
    void onClicked(int button);
    void onRequestComplete(character::RequestId request);
    void onCommand(const QString& name);
    void onMoved(int cause);

    ReaderState& state_;
    settings::Settings& settings_;
    character::CharacterService& service_;
    platform::Dialogs& dialogs_;
    std::function<AnchorFrame()> anchor_;
    QString programTitle_ = QStringLiteral("Folimar");
    QPointer<character::Character> character_;
};

} // namespace folimar::reader
