#pragma once

#include "platform/character/Voice.h"
#include "platform/character/VoiceProvider.h"
#include "platform/character/VoiceSettings.h"

#include <QDialog>
#include <memory>

class QComboBox;
class QLabel;
class QSlider;
class QPushButton;

namespace folimar::character {

// "Character Options": the user's engine, voice, rate, pitch and volume, with a Test
// button. OK keeps the choice in the per-user voice file and reports it.
class CharacterPropertySheet final : public QDialog {
    Q_OBJECT
public:
    CharacterPropertySheet(const VoiceProvider& voices, QString settingsPath,
                           QWidget* parent = nullptr);

    // Fills the controls from the voice file.
    void reload();
    VoiceSettings chosen() const;

Q_SIGNALS:
    void settingsChanged(const folimar::character::VoiceSettings& settings);

private:
    void fillVoices(const QString& selected);
    void test();
    void keep();
    void showRate();

    const VoiceProvider& voices_;
    QString settingsPath_;
    QComboBox* engineBox_;
    QComboBox* voiceBox_;
    QSlider* rateSlider_;
    QLabel* rateValue_;
    QSlider* pitchSlider_;
    QSlider* volumeSlider_;
    QPushButton* testButton_;
    QLabel* status_;
    std::unique_ptr<Voice> testVoice_;
};

} // namespace folimar::character
