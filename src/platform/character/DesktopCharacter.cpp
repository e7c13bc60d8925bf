#include "platform/character/DesktopCharacter.h"

#include "platform/character/CharacterPropertySheet.h"
#include "platform/character/CharacterStage.h"
#include "platform/character/RequestQueue.h"
#include "platform/character/SpeechBalloon.h"

#include <QMenu>
#include <QTimer>
#include <algorithm>
#include <utility>

namespace folimar::character {

namespace {

constexpr int MinSide = 8;
constexpr int MaxSide = 2048;
// Showing and hiding never hold up the requests behind them for longer than this.
constexpr int MaxTransitionMs = 3000;

} // namespace

DesktopCharacter::DesktopCharacter(CharacterArt art, const VoiceProvider& voices,
                                   QString voiceSettingsPath, QObject* parent)
    : Character(parent), art_(std::move(art)), voices_(voices),
      voiceSettingsPath_(std::move(voiceSettingsPath)),
      stage_(std::make_unique<CharacterStage>(art_)), balloon_(std::make_unique<SpeechBalloon>()),
      menu_(std::make_unique<QMenu>(stage_.get())),
      queue_(new RequestQueue(voices_.create(VoiceSettings::load(voiceSettingsPath_)), this)) {
    menu_->setObjectName(QStringLiteral("CharacterMenu"));
    balloon_->setStyle(balloonStyle_);

    connect(queue_, &RequestQueue::requestComplete, this, &Character::requestComplete);
    connect(queue_, &RequestQueue::wordReached, this, &Character::wordReached);
    connect(queue_, &RequestQueue::utteranceStarted, this, [this](const QString& text) {
        speaking_ = true;
        if (!stage_->isVisible())
            return;
        // An appearing still under way plays to its end and then turns into speaking.
        if (animation() != QStringLiteral("Show"))
            stage_->player().play(QStringLiteral("Speaking"));
        balloon_->say(text, queue_->voice().msPerWord(), stage_->geometry());
    });
    connect(queue_, &RequestQueue::utteranceEnded, this, [this](bool more) {
        if (more)
            return;
        speaking_ = false;
        if (stage_->player().animation() == QStringLiteral("Speaking"))
            stage_->player().play(QStringLiteral("Idle"));
        balloon_->finish();
    });
    connect(stage_.get(), &CharacterStage::clicked, this, [this](int button, int shift, QPoint at) {
        Q_EMIT clicked(button, shift, at.x(), at.y());
    });
    connect(stage_.get(), &CharacterStage::dragged, this,
            [this](QPoint topLeft) { Q_EMIT moved(topLeft.x(), topLeft.y(), MovedByUser); });
    connect(stage_.get(), &CharacterStage::menuRequested, this, &DesktopCharacter::openMenu);
    connect(stage_.get(), &CharacterStage::geometryChanged, this, [this] {
        if (balloon_->isVisible())
            balloon_->placeBeside(stage_->geometry());
    });
}

DesktopCharacter::~DesktopCharacter() {
    delete sheet_;
}

void DesktopCharacter::setBalloonStyle(int style) {
    balloonStyle_ = style;
    balloon_->setStyle(style);
    if (!(style & BalloonOn))
        balloon_->hide();
}

void DesktopCharacter::addCommand(const QString& name, const QString& caption) {
    commands_.removeIf([&](const Command& known) { return known.name == name; });
    commands_.append({name, caption});
}

RequestId DesktopCharacter::speak(const QString& text) {
    return queue_->speak(text);
}

RequestId DesktopCharacter::get(const QString&, const QString&) {
    return queue_->wait();
}

void DesktopCharacter::stop() {
    queue_->stop();
}

void DesktopCharacter::show() {
    if (shown_)
        return;
    shown_ = true;
    endVanishing(); // a character on its way out comes straight back
    queue_->perform([this](std::function<void()> done) { appear(std::move(done)); },
                    [this] { appear([] {}); });
}

void DesktopCharacter::hide() {
    if (!shown_)
        return;
    shown_ = false;
    queue_->perform([this](std::function<void()> done) { vanish(std::move(done)); },
                    [this] {
                        vanishing_ = nullptr;
                        stage_->hide();
                        balloon_->hide();
                    });
}

// Speech waits for the first frame only: the voice starts with the character's appearing,
// which plays on to its end and then rests or speaks.
void DesktopCharacter::appear(std::function<void()> done) {
    stage_->show();
    playThen(QStringLiteral("Show"), [this] {
        if (stage_->isVisible() && animation() == QStringLiteral("Show"))
            stage_->player().play(speaking_ ? QStringLiteral("Speaking") : QStringLiteral("Idle"));
    });
    done();
}

void DesktopCharacter::vanish(std::function<void()> done) {
    balloon_->hide();
    if (!stage_->isVisible()) {
        done();
        return;
    }
    vanishing_ = std::move(done);
    playThen(QStringLiteral("Hide"), [this] { endVanishing(); });
}

// The hiding under way, if any, is over: the window goes and the requests behind it go on.
void DesktopCharacter::endVanishing() {
    if (!vanishing_)
        return;
    stage_->hide();
    std::exchange(vanishing_, nullptr)();
}

// The file may make an animation loop or run long; it counts as played after one round,
// and at most MaxTransitionMs.
void DesktopCharacter::playThen(const QString& animation, std::function<void()> done) {
    stage_->player().play(animation);
    const CharacterArt::Animation& played = art_.animations[animation];
    const qint64 roundMs = qint64(played.frames.size()) * played.intervalMs;
    QTimer::singleShot(static_cast<int>(std::min<qint64>(roundMs, MaxTransitionMs)), stage_.get(),
                       std::move(done));
}

QString DesktopCharacter::animation() const {
    return stage_->player().animation();
}

QPoint DesktopCharacter::position() const {
    return stage_->pos();
}

void DesktopCharacter::setPosition(QPoint topLeft) {
    if (topLeft == stage_->pos())
        return;
    stage_->move(topLeft);
    Q_EMIT moved(topLeft.x(), topLeft.y(), MovedByProgram);
}

QSize DesktopCharacter::size() const {
    return stage_->size();
}

void DesktopCharacter::setSize(QSize size) {
    stage_->resize(std::clamp(size.width(), MinSide, MaxSide),
                   std::clamp(size.height(), MinSide, MaxSide));
}

void DesktopCharacter::showPropertySheet() {
    if (!sheet_) {
        sheet_ = new CharacterPropertySheet(voices_, voiceSettingsPath_);
        connect(
            sheet_, &CharacterPropertySheet::settingsChanged, this,
            [this](const VoiceSettings& settings) { queue_->setVoice(voices_.create(settings)); });
    }
    sheet_->reload();
    sheet_->show();
    sheet_->raise();
    sheet_->activateWindow();
}

void DesktopCharacter::openMenu(QPoint global) {
    menu_->clear();
    for (const Command& entry : std::as_const(commands_)) {
        QAction* action = menu_->addAction(entry.caption);
        action->setObjectName(entry.name);
        connect(action, &QAction::triggered, this,
                [this, name = entry.name] { Q_EMIT command(name); });
    }
    if (!commands_.isEmpty())
        menu_->addSeparator();
    QAction* hideAction = menu_->addAction(QStringLiteral("&Hide"));
    hideAction->setObjectName(QStringLiteral("HideCharacter"));
    connect(hideAction, &QAction::triggered, this, &DesktopCharacter::hide);
    menu_->popup(global);
}

} // namespace folimar::character
