#include "reader/CharacterHost.h"

#include "platform/dialogs/Dialogs.h"
#include "reader/ReaderLog.h"
#include "reader/ReaderState.h"
#include "settings/Settings.h"

#include <algorithm>

namespace folimar::reader {

using character::Character;

namespace {

constexpr int UsEnglish = 1033;
constexpr double TwipsPerInch = 1440.0;
// The character stands this far above the bottom edge of the window it is placed beside.
constexpr double AutoPlaceLiftTwips = 1000.0;

qint16 toInt16(int value) {
    return qint16(std::clamp(value, -32768, 32767));
}

QString characterFile(const QString& path) {
    return path.endsWith(QLatin1String(".acs"), Qt::CaseInsensitive) ? path
                                                                     : path + QLatin1String(".acs");
}

QString withoutExtension(const QString& path) {
    return path.endsWith(QLatin1String(".acs"), Qt::CaseInsensitive) ? path.chopped(4) : path;
}

} // namespace

CharacterHost::CharacterHost(ReaderState& state, settings::Settings& settings,
                             character::CharacterService& service, platform::Dialogs& dialogs,
                             QObject* parent)
    : QObject(parent), state_(state), settings_(settings), service_(service), dialogs_(dialogs) {
    // Told from the event loop, once the character that found no voice has loaded.
    connect(&service_, &character::CharacterService::readingSilently, this,
            &CharacterHost::tellReadingSilently, Qt::QueuedConnection);
}

void CharacterHost::tellReadingSilently(const QString& why) {
    // The engine is named as its makers write it.
    QString reason =
        why.trimmed().replace(QStringLiteral("espeak-ng"), QStringLiteral("eSpeak NG"));
    if (!reason.isEmpty()) {
        if (!reason.startsWith(QStringLiteral("eSpeak")))
            reason[0] = reason[0].toUpper();
        if (!reason.endsWith(QLatin1Char('.')))
            reason += QLatin1Char('.');
    }
    // Reading goes on, silently, while the notice is up.
    dialogs_.notify({QStringLiteral("No voice could be started: reading silently.\n\n") + reason,
                     programTitle_, platform::MessageIcon::Exclamation,
                     platform::MessageButtons::Ok});
}

bool CharacterHost::ensureLoaded() {
    if (!character_ && load(characterFile(settings_.CharacterPath)))
        prepare(false);
    return character_;
}

void CharacterHost::ReloadCharacter(const QString& path) {
    unload();
    if (!load(path)) {
        dialogs_.inform(QStringLiteral("There was an error opening the file ") + path,
                        programTitle_);
        return;
    }
    // The whole path, so that a character chosen outside the characters folder loads again
    // on the next start.
    settings_.CharacterPath = withoutExtension(path);
    prepare(true);
    state_.LoopActive = false;
    Q_EMIT characterReplaced();
}

bool CharacterHost::load(const QString& file) {
    QString error;
    Character* loaded = service_.load(CharacterId, file, &error);
    if (!loaded) {
        qCInfo(readerLog) << "could not load the character" << file << ":" << error;
        return false;
    }
    character_ = loaded;
    connect(loaded, &Character::clicked, this,
            [this](int button, int, int, int) { onClicked(button); });
    connect(loaded, &Character::requestComplete, this, &CharacterHost::onRequestComplete);
    connect(loaded, &Character::command, this, &CharacterHost::onCommand);
    connect(loaded, &Character::wordReached, this, &CharacterHost::wordReached);
    connect(loaded, &Character::moved, this, [this](int, int, int cause) { onMoved(cause); });
    return true;
}

void CharacterHost::unload() {
    Q_EMIT characterUnloading();
    if (character_)
        disconnect(character_, nullptr, this, nullptr);
    character_ = nullptr;
    service_.unload(CharacterId);
}

void CharacterHost::prepare(bool reload) {
    character_->setLanguageId(UsEnglish);
    if (!reload)
        queueStartupRequest();
    for (int bit : {character::BalloonOn, character::BalloonAutoHide, character::BalloonAutoPace,
                    character::BalloonSizeToText})
        character_->setBalloonStyle(character_->balloonStyle() | bit);
    character_->removeAllCommands();
    character_->addCommand(QStringLiteral("AdvCharOptions"),
                           QStringLiteral("&Advanced Character Options"));
    if (reload)
        queueStartupRequest();
    CharacterWidth = character_->size().width();
    CharacterHeight = character_->size().height();
    ApplyCharacterSize();
    PlaceCharacter();
}

// Loads the speaking animation; the first play waits for it.
void CharacterHost::queueStartupRequest() {
    state_.SpeechRequest = character_->get(QStringLiteral("Animation"), QStringLiteral("Speaking"));
}

void CharacterHost::ApplyCharacterSize() {
    if (!character_)
        return;
    const int factor = settings_.CharacterSize;
    int width = CharacterWidth;
    int height = CharacterHeight;
    if (factor < 0) {
        width = CharacterWidth / -factor;
        height = CharacterHeight / -factor;
    } else if (factor > 0) {
        width = CharacterWidth * factor;
        height = CharacterHeight * factor;
    }
    character_->setSize(QSize(std::max<int>(toInt16(width), 0), std::max<int>(toInt16(height), 0)));
}

void CharacterHost::PlaceCharacter() {
    if (!character_)
        return;
    if (settings_.AgentStartPos > 0) {
        character_->setPosition(QPoint(settings_.AgentLeft, settings_.AgentTop));
        return;
    }
    if (!anchor_)
        return;
    const AnchorFrame anchor = anchor_();
    const QRect& g = anchor.geometry;
    const double lift = AutoPlaceLiftTwips * anchor.logicalDpi / TwipsPerInch;
    QPoint place(qRound(g.x() + g.width() / 2.0), qRound(g.y() + g.height() - lift));
    // The book window's bottom centre can lie near the screen's edge: keep the character
    // whole on the screen rather than partly out of sight.
    const QRect& area = anchor.screenArea;
    if (!area.isEmpty()) {
        const QSize size = character_->size();
        place.setX(std::clamp(place.x(), area.left(),
                              std::max(area.left(), area.right() + 1 - size.width())));
        place.setY(std::clamp(place.y(), area.top(),
                              std::max(area.top(), area.bottom() + 1 - size.height())));
    }
    character_->setPosition(place);
    settings_.AgentLeft = toInt16(character_->position().x());
    settings_.AgentTop = toInt16(character_->position().y());
}

void CharacterHost::onClicked(int button) {
    if (button == 1)
        Q_EMIT pauseToggleRequested();
}

void CharacterHost::onRequestComplete(character::RequestId request) {
    if (state_.SpeechRequest == 0 || request != state_.SpeechRequest)
        return;
    state_.RequestDone = true;
    Q_EMIT speechRequestDone();
}

void CharacterHost::onCommand(const QString& name) {
    if (name == QLatin1String("AdvCharOptions") && character_)
        character_->showPropertySheet();
}

void CharacterHost::onMoved(int cause) {
    if (cause != character::MovedByUser || !character_)
        return;
    settings_.AgentLeft = toInt16(character_->position().x());
    settings_.AgentTop = toInt16(character_->position().y());
}

} // namespace folimar::reader
