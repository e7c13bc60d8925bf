#include "platform/character/CharacterPropertySheet.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>
#include <cmath>

namespace folimar::character {

namespace {

constexpr int SliderSteps = 100; // a slider runs from -100 to 100 (volume 0 to 100)

QString engineCaption(const QString& engine) {
    if (engine == "speech-dispatcher")
        return QStringLiteral("Speech service (speech-dispatcher)");
    if (engine == "espeak-ng")
        return QStringLiteral("eSpeak NG");
    if (engine == "silent")
        return QStringLiteral("None (silent, paced text)");
    return engine;
}

QSlider* makeSlider(const QString& name, int minimum, int maximum, QWidget* parent) {
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(name);
    slider->setRange(minimum, maximum);
    slider->setSingleStep(5);
    slider->setPageStep(25);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(50);
    return slider;
}

int toSlider(double value) {
    return static_cast<int>(std::lround(value * SliderSteps));
}

double fromSlider(const QSlider* slider) {
    return slider->value() / double(SliderSteps);
}

} // namespace

CharacterPropertySheet::CharacterPropertySheet(const VoiceProvider& voices, QString settingsPath,
                                               QWidget* parent)
    : QDialog(parent), voices_(voices), settingsPath_(std::move(settingsPath)) {
    setObjectName(QStringLiteral("CharacterPropertySheet"));
    setWindowTitle(QStringLiteral("Character Options"));

    engineBox_ = new QComboBox(this);
    engineBox_->setObjectName(QStringLiteral("EngineBox"));
    engineBox_->addItem(QStringLiteral("Automatic"), QString());
    for (const QString& engine : voices_.engines())
        engineBox_->addItem(engineCaption(engine), engine);
    voiceBox_ = new QComboBox(this);
    voiceBox_->setObjectName(QStringLiteral("VoiceBox"));
    rateSlider_ = makeSlider(QStringLiteral("RateSlider"), -SliderSteps, SliderSteps, this);
    rateValue_ = new QLabel(this);
    rateValue_->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("× 0.00")));
    pitchSlider_ = makeSlider(QStringLiteral("PitchSlider"), -SliderSteps, SliderSteps, this);
    volumeSlider_ = makeSlider(QStringLiteral("VolumeSlider"), 0, SliderSteps, this);
    testButton_ = new QPushButton(QStringLiteral("&Test"), this);
    testButton_->setObjectName(QStringLiteral("TestButton"));
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("StatusLabel"));

    auto* rateRow = new QHBoxLayout;
    rateRow->addWidget(rateSlider_, 1);
    rateRow->addWidget(rateValue_);
    auto* form = new QFormLayout;
    const auto addRow = [&](const QString& caption, QWidget* buddy, QLayout* row = nullptr) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(buddy);
        if (row)
            form->addRow(label, row);
        else
            form->addRow(label, buddy);
    };
    addRow(QStringLiteral("&Engine:"), engineBox_);
    addRow(QStringLiteral("&Voice:"), voiceBox_);
    addRow(QStringLiteral("&Rate:"), rateSlider_, rateRow);
    addRow(QStringLiteral("&Pitch:"), pitchSlider_);
    addRow(QStringLiteral("V&olume:"), volumeSlider_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->addButton(testButton_, QDialogButtonBox::ActionRole);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(status_);
    layout->addWidget(buttons);
    setMinimumWidth(380);

    connect(engineBox_, &QComboBox::currentIndexChanged, this, [this] { fillVoices({}); });
    connect(rateSlider_, &QSlider::valueChanged, this, &CharacterPropertySheet::showRate);
    connect(testButton_, &QPushButton::clicked, this, &CharacterPropertySheet::test);
    connect(buttons, &QDialogButtonBox::accepted, this, &CharacterPropertySheet::keep);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(this, &QDialog::finished, this, [this] { testVoice_.reset(); });
    reload();
}

void CharacterPropertySheet::reload() {
    const VoiceSettings settings = VoiceSettings::load(settingsPath_);
    const int engine = engineBox_->findData(settings.engine);
    {
        const QSignalBlocker quiet(engineBox_);
        engineBox_->setCurrentIndex(std::max(0, engine));
    }
    fillVoices(settings.voice);
    rateSlider_->setValue(toSlider(settings.rate));
    pitchSlider_->setValue(toSlider(settings.pitch));
    volumeSlider_->setValue(toSlider(settings.volume));
    showRate();
    status_->clear();
}

void CharacterPropertySheet::fillVoices(const QString& selected) {
    voiceBox_->clear();
    voiceBox_->addItem(QStringLiteral("Engine's default"), QString());
    for (const QString& voice : voices_.voices(engineBox_->currentData().toString()))
        voiceBox_->addItem(voice, voice);
    voiceBox_->setCurrentIndex(std::max(0, voiceBox_->findData(selected)));
    voiceBox_->setEnabled(voiceBox_->count() > 1);
}

VoiceSettings CharacterPropertySheet::chosen() const {
    VoiceSettings settings;
    settings.engine = engineBox_->currentData().toString();
    settings.voice = voiceBox_->currentData().toString();
    settings.rate = fromSlider(rateSlider_);
    settings.pitch = fromSlider(pitchSlider_);
    settings.volume = fromSlider(volumeSlider_);
    return settings;
}

void CharacterPropertySheet::showRate() {
    rateValue_->setText(QStringLiteral("× %1").arg(std::exp2(fromSlider(rateSlider_)), 0, 'f', 2));
}

void CharacterPropertySheet::test() {
    testVoice_ = voices_.create(chosen());
    testVoice_->speak(QStringLiteral("Hello! This is how I will read to you."));
}

void CharacterPropertySheet::keep() {
    const VoiceSettings settings = chosen();
    if (!settings.save(settingsPath_)) {
        status_->setText(QStringLiteral("The choice could not be saved in %1.").arg(settingsPath_));
        return;
    }
    Q_EMIT settingsChanged(settings);
    accept();
}

} // namespace folimar::character
