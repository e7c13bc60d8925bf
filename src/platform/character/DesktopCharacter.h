#pragma once

#include "platform/character/Character.h"
#include "platform/character/CharacterArt.h"
#include "platform/character/CharacterPropertySheet.h"
#include "platform/character/VoiceProvider.h"

#include <QList>
#include <QPointer>
#include <functional>

class QMenu;

namespace folimar::character {

class CharacterStage;
class RequestQueue;
class SpeechBalloon;

// A character on the desktop: its window with the art, a speech balloon, a voice and the
// queue that runs its requests one after another.
class DesktopCharacter final : public Character {
    Q_OBJECT
public:
    DesktopCharacter(CharacterArt art, const VoiceProvider& voices, QString voiceSettingsPath,
                     QObject* parent = nullptr);
    ~DesktopCharacter() override;

    QString name() const override { return art_.name; }
    void setLanguageId(int languageId) override { languageId_ = languageId; }
    int languageId() const { return languageId_; }

    int balloonStyle() const override { return balloonStyle_; }
    void setBalloonStyle(int style) override;

    void removeAllCommands() override { commands_.clear(); }
    void addCommand(const QString& name, const QString& caption) override;

    RequestId speak(const QString& text) override;
    RequestId get(const QString& type, const QString& name) override;
    void stop() override;

    void show() override;
    void hide() override;
    bool isVisible() const override { return shown_; }

    QPoint position() const override;
    void setPosition(QPoint topLeft) override;
    QSize size() const override;
    void setSize(QSize size) override;

    void showPropertySheet() override;

    // The parts, for whoever needs to look closer (tests, benchmarks).
    CharacterStage& stage() const { return *stage_; }
    SpeechBalloon& balloon() const { return *balloon_; }
    QMenu& menu() const { return *menu_; }
    RequestQueue& requests() const { return *queue_; }
    CharacterPropertySheet* propertySheet() const { return sheet_; }
    QString animation() const;

private:
    struct Command {
        QString name;
        QString caption;
    };

    void openMenu(QPoint global);
    void playThen(const QString& animation, std::function<void()> done);
    void appear(std::function<void()> done);
    void vanish(std::function<void()> done);
    void endVanishing();

    CharacterArt art_;
    const VoiceProvider& voices_;
    QString voiceSettingsPath_;
    std::unique_ptr<CharacterStage> stage_;
    std::unique_ptr<SpeechBalloon> balloon_;
    std::unique_ptr<QMenu> menu_;
    RequestQueue* queue_;
    QPointer<CharacterPropertySheet> sheet_;
    QList<Command> commands_;
    int balloonStyle_ = BalloonOn;
    int languageId_ = 0;
    bool shown_ = false;
    bool speaking_ = false;           // an utterance is under way
    std::function<void()> vanishing_; // ends the hiding under way
};

} // namespace folimar::character
