#pragma once

#include "platform/character/Character.h"

#include <QList>
#include <QPair>
#include <QStringList>
#include <functional>

namespace folimar::testing {

// A character that records what it was asked and completes its requests when the test
// says so (Manual), by itself from a queued call (Auto), or never (Never). Like a real
// character, stop() cancels the open requests, which then report completion from a queued
// call (except in Never).
class ScriptedCharacter final : public character::Character {
    Q_OBJECT
public:
    enum class Completion { Manual, Auto, Never };

    explicit ScriptedCharacter(QString name = QStringLiteral("Genie"), QSize size = {128, 128},
                               QObject* parent = nullptr);

    QString name() const override { return name_; }
    void setLanguageId(int languageId) override;
    int balloonStyle() const override { return balloonStyle_; }
    void setBalloonStyle(int style) override;
    void removeAllCommands() override;
    void addCommand(const QString& name, const QString& caption) override;
    character::RequestId speak(const QString& text) override;
    character::RequestId get(const QString& type, const QString& name) override;
    void stop() override;
    void show() override { visible_ = true; }
    void hide() override { visible_ = false; }
    bool isVisible() const override { return visible_; }
    QPoint position() const override { return position_; }
    void setPosition(QPoint topLeft) override;
    QSize size() const override { return size_; }
    void setSize(QSize size) override;
    void showPropertySheet() override { ++propertySheets; }

    // Completes the oldest open request; false when none is open.
    bool completeNext();
    void completeAll();

    // What the user does to the character.
    void click(int button) { Q_EMIT clicked(button, 0, 0, 0); }
    void choose(const QString& commandName) { Q_EMIT command(commandName); }
    void dragTo(QPoint topLeft);
    // The voice is at a word of the text spoken last (offset and length in that text).
    void reachWord(int offset, int length) { Q_EMIT wordReached(lastSpeech_, offset, length); }

    Completion completion = Completion::Manual;
    // Called as each text is queued for speech (the reader's highlight is then in place).
    std::function<void(const QString&)> onSpeak;
    QStringList calls; // the set-up calls in order: "language", "get", "balloon", ...
    QStringList spoken;
    QList<QPair<QString, QString>> gets; // type, name
    QStringList commands;                // "name|caption"
    QList<int> balloonWrites;
    int languageId = 0;
    int stops = 0;
    int propertySheets = 0;

private:
    character::RequestId queue();
    void completeLater(character::RequestId request);

    QString name_;
    QList<character::RequestId> open_;
    character::RequestId nextId_ = 1;
    character::RequestId lastSpeech_ = 0;
    int balloonStyle_ = 0;
    bool visible_ = false;
    QPoint position_;
    QSize size_;
};

} // namespace folimar::testing
