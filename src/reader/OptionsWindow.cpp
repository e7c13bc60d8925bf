#include "reader/OptionsWindow.h"

#include "platform/dialogs/Dialogs.h"
#include "reader/CentredWindow.h"
#include "reader/CharacterHost.h"
#include "reader/RecognitionOptions.h"
#include "reader/WindowArrangement.h"
#include "recognition/RecognitionLanguages.h"
#include "settings/Settings.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QSlider>
#include <QStyle>
#include <QVBoxLayout>

namespace folimar::reader {

namespace {

using settings::Settings;

constexpr int LocateOffsetTwips = 1000;

// The leading number of the text, as the quality box reads it ("12abc" is 12, "" is 0);
// false when the text holds anything but that number.
bool qualityNumber(const QString& text, long long* number) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        *number = 0;
        return true;
    }
    bool ok = false;
    *number = trimmed.toLongLong(&ok);
    return ok;
}

} // namespace

OptionsWindow::OptionsWindow(ReaderProfile profile, Settings& settings, CharacterHost& host,
                             platform::Dialogs& dialogs, QString charactersFolder, QWidget* parent)
    : QWidget(parent, Qt::Window), settings_(settings), host_(host), dialogs_(dialogs),
      charactersFolder_(std::move(charactersFolder)) {
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(programName(profile) + QStringLiteral(" Options"));

    // The choices scroll inside the window where the screen is too small to show them all.
    choices_ = new QWidget;
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("scrChoices"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    // Up and down only: the window is kept as wide as the choices and a scroll bar.
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(choices_);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(scroll);
    auto* grid = new QGridLayout(choices_);
    grid->setSpacing(12);
    grid->setContentsMargins(16, 16, 16, 16);
    const bool vocimar = profile == ReaderProfile::Vocimar;
    // Vocimar's frame has always been spelt so.
    QGroupBox* repeat = optionArray(
        QStringLiteral("Option3"),
        vocimar ? QStringLiteral("Sentance Repeat Mode") : QStringLiteral("Sentence Repeat Mode"),
        {QStringLiteral("Off"), QStringLiteral("On")}, &Settings::RepeatMode);
    QGroupBox* caps =
        optionArray(QStringLiteral("Option4"), QStringLiteral("Play Caps as Small letters"),
                    {QStringLiteral("No"), QStringLiteral("Yes")}, &Settings::CapsAsSmall);
    QGroupBox* wordMark =
        optionArray(QStringLiteral("Option7"), QStringLiteral("Underline the Spoken Word"),
                    {QStringLiteral("Yes"), QStringLiteral("No")}, &Settings::SpokenWordMark);
    QGroupBox* sentenceEnds = optionArray(
        QStringLiteral("Option8"), QStringLiteral("Sentences end at"),
        {QStringLiteral("Full stops"), QStringLiteral("Full stops, ? ! and paragraph ends")},
        &Settings::SentenceEnds);
    if (vocimar) {
        grid->addWidget(repeat, 0, 0);
        grid->addWidget(caps, 0, 1);
        grid->addWidget(characterGroup(), 1, 0, 1, 2);
        grid->addWidget(wordMark, 2, 0);
        grid->addWidget(sentenceEnds, 2, 1);
    } else {
        grid->addWidget(optionArray(QStringLiteral("Option1"), QStringLiteral("Play Topics Mode"),
                                    {QStringLiteral("Single"), QStringLiteral("All"),
                                     QStringLiteral("Continuous")},
                                    &Settings::PlayTopicsMode),
                        0, 0);
        grid->addWidget(repeat, 0, 1);
        grid->addWidget(caps, 0, 2);
        grid->addWidget(optionArray(QStringLiteral("Option5"), QStringLiteral("Play at Startup"),
                                    {QStringLiteral("Yes"), QStringLiteral("No")},
                                    &Settings::PlayAtStartup),
                        1, 0);
        grid->addWidget(optionArray(QStringLiteral("Option2"),
                                    QStringLiteral("Agent Start Position"),
                                    {QStringLiteral("Auto"), QStringLiteral("Saved")},
                                    &Settings::AgentStartPos),
                        1, 1);
        grid->addWidget(optionArray(QStringLiteral("Option6"), QStringLiteral("Default Zoom"),
                                    {QStringLiteral("Window"), QStringLiteral("Fit")},
                                    &Settings::DefaultZoom),
                        1, 2);
        grid->addWidget(qualityGroup(), 2, 0);
        grid->addWidget(characterGroup(), 2, 1, 1, 2);
        grid->addWidget(wordMark, 3, 0);
        grid->addWidget(sentenceEnds, 3, 1, 1, 2);
    }

    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

void OptionsWindow::addRecognitionOptions(const QString& settingsPath) {
    recognitionOptions_ = new RecognitionOptions(settingsPath, recognition::tessdataFolder(), this);
    auto* grid = static_cast<QGridLayout*>(choices_->layout());
    grid->addWidget(recognitionOptions_, grid->rowCount(), 0, 1, grid->columnCount());
}

QGroupBox* OptionsWindow::optionArray(const QString& arrayName, const QString& frameCaption,
                                      const QStringList& captions,
                                      qint16 settings::Settings::*field) {
    auto* frame = new QGroupBox(frameCaption, this);
    auto* column = new QVBoxLayout(frame);
    auto* group = new QButtonGroup(frame);
    group->setObjectName(arrayName);
    for (int value = 0; value < captions.size(); ++value) {
        auto* option = new QRadioButton(captions[value], frame);
        option->setObjectName(arrayName + QLatin1Char('_') + QString::number(value));
        group->addButton(option, value);
        column->addWidget(option);
    }
    column->addStretch();
    connect(group, &QButtonGroup::idClicked, this,
            [this, field](int value) { settings_.*field = qint16(value); });
    arrays_.append({group, field});
    return frame;
}

QGroupBox* OptionsWindow::qualityGroup() {
    auto* frame = new QGroupBox(QStringLiteral("Image Paste Quality Level"), this);
    auto* column = new QVBoxLayout(frame);
    Text2 = new QLineEdit(frame);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setMaxLength(3);
    const QString hint = QStringLiteral("0-100=Best Qual,largest size");
    Text2->setToolTip(hint);
    Text2->installEventFilter(this);
    column->addWidget(Text2);
    column->addWidget(new QLabel(hint, frame));
    column->addStretch();
    connect(Text2, &QLineEdit::textChanged, this, &OptionsWindow::qualityEdited);
    connect(Text2, &QLineEdit::editingFinished, this, [this] {
        // An emptied box is no quality: the one it held comes back.
        if (Text2->text().trimmed().isEmpty())
            Text2->setText(rememberedQuality_);
    });
    return frame;
}

QGroupBox* OptionsWindow::characterGroup() {
    auto* frame = new QGroupBox(QStringLiteral("Character"), this);
    auto* grid = new QGridLayout(frame);
    auto* label = new QLabel(QStringLiteral("Select Agent Character"), frame);
    Text1 = new QLineEdit(frame);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    label->setBuddy(Text1);
    Command1 = new QPushButton(QStringLiteral("Browse"), frame);
    Command1->setObjectName(QStringLiteral("Command1"));
    auto* sizeLabel = new QLabel(QStringLiteral("Size"), frame);
    Slider1 = new QSlider(Qt::Horizontal, frame);
    Slider1->setObjectName(QStringLiteral("Slider1"));
    Slider1->setRange(-5, 5);
    Slider1->setPageStep(1);
    Slider1->setTickPosition(QSlider::TicksBelow);
    Slider1->setTickInterval(1);
    sizeLabel->setBuddy(Slider1);
    Command2 = new QPushButton(QStringLiteral("Locate"), frame);
    Command2->setObjectName(QStringLiteral("Command2"));

    grid->addWidget(label, 0, 0, 1, 2);
    grid->addWidget(Text1, 1, 0);
    grid->addWidget(Command1, 1, 1);
    grid->addWidget(sizeLabel, 2, 0, 1, 2);
    grid->addWidget(Slider1, 3, 0);
    grid->addWidget(Command2, 3, 1);
    grid->setRowStretch(4, 1);

    connect(Command1, &QPushButton::clicked, this, &OptionsWindow::Browse);
    connect(Command2, &QPushButton::clicked, this, &OptionsWindow::Locate);
    connect(Slider1, &QSlider::valueChanged, this, &OptionsWindow::sizeChanged);
    return frame;
}

void OptionsWindow::showSettings() {
    loading_ = true;
    Text1->setText(settings_.CharacterPath);
    Slider1->setValue(settings_.CharacterSize);
    for (const auto& [group, field] : arrays_) {
        if (QAbstractButton* chosen = group->button(settings_.*field))
            chosen->setChecked(true);
    }
    if (Text2) {
        rememberedQuality_ = settings_.PasteQuality;
        Text2->setText(settings_.PasteQuality);
    }
    if (recognitionOptions_)
        recognitionOptions_->showSettings();
    loading_ = false;
}

// All the choices, with room for a scroll bar; placing the window bounds it by the screen.
QSize OptionsWindow::sizeHint() const {
    return choices_->sizeHint() + QSize(style()->pixelMetric(QStyle::PM_ScrollBarExtent), 0);
}

void OptionsWindow::showEvent(QShowEvent* event) {
    if (!placed_) {
        setMinimumWidth(sizeHint().width());
        centreOnOwnersScreen(*this);
        placed_ = true;
    }
    showSettings();
    QWidget::showEvent(event);
}

bool OptionsWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text2 && event->type() == QEvent::FocusIn)
        rememberedQuality_ = Text2->text();
    return QWidget::eventFilter(watched, event);
}

void OptionsWindow::qualityEdited(const QString& text) {
    if (loading_)
        return;
    long long number = 0;
    if (!qualityNumber(text, &number) || number < 0 || number > 100) {
        if (text != rememberedQuality_)
            Text2->setText(rememberedQuality_); // comes back here with the remembered text
        return;
    }
    settings_.PasteQuality = text;
}

void OptionsWindow::sizeChanged(int value) {
    if (loading_)
        return;
    settings_.CharacterSize = qint16(value);
    host_.ApplyCharacterSize();
}

void OptionsWindow::Browse() {
    platform::FileDialogRequest request;
    request.title = QStringLiteral("Select Agent Character");
    request.startFolder = charactersFolder_;
    request.filter = QStringLiteral("Characters (*.acs)");
    const QString path = dialogs_.openFileName(request);
    if (path.isEmpty())
        return;
    host_.ReloadCharacter(path);
    if (host_.character())
        Text1->setText(host_.characterName());
}

void OptionsWindow::Locate() {
    if (!host_.ensureLoaded())
        return;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const int offset = TwipsToPixels(LocateOffsetTwips, screen->logicalDotsPerInch());
    character::Character* character = host_.character();
    character->setPosition(
        QPoint(area.x() + area.width() / 2 - offset, area.y() + area.height() / 2 - offset));
    settings_.AgentLeft = qint16(character->position().x());
    settings_.AgentTop = qint16(character->position().y());
}

} // namespace folimar::reader
