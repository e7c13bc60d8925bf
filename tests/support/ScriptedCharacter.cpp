#include "support/ScriptedCharacter.h"

namespace folimar::testing {

ScriptedCharacter::ScriptedCharacter(QString name, QSize size, QObject* parent)
    : Character(parent), name_(std::move(name)), size_(size) {}

void ScriptedCharacter::setLanguageId(int languageId) {
    calls.append(QStringLiteral("language"));
    this->languageId = languageId;
}

void ScriptedCharacter::setBalloonStyle(int style) {
    calls.append(QStringLiteral("balloon"));
    balloonStyle_ = style;
    balloonWrites.append(style);
}

void ScriptedCharacter::removeAllCommands() {
    calls.append(QStringLiteral("removeCommands"));
    commands.clear();
}

void ScriptedCharacter::addCommand(const QString& name, const QString& caption) {
    calls.append(QStringLiteral("addCommand"));
    commands.append(name + QLatin1Char('|') + caption);
}

character::RequestId ScriptedCharacter::speak(const QString& text) {
    spoken.append(text);
    if (onSpeak)
        onSpeak(text);
    lastSpeech_ = queue();
    return lastSpeech_;
}

character::RequestId ScriptedCharacter::get(const QString& type, const QString& name) {
    calls.append(QStringLiteral("get"));
    gets.append({type, name});
    return queue();
}

character::RequestId ScriptedCharacter::queue() {
    const character::RequestId id = nextId_++;
    open_.append(id);
    if (completion == Completion::Auto)
        completeLater(id);
    return id;
}

void ScriptedCharacter::completeLater(character::RequestId request) {
    QMetaObject::invokeMethod(
        this,
        [this, request] {
            if (open_.removeOne(request))
                Q_EMIT requestComplete(request);
        },
        Qt::QueuedConnection);
}

void ScriptedCharacter::stop() {
    ++stops;
    if (completion == Completion::Never)
        return;
    for (character::RequestId id : open_)
        completeLater(id);
}

void ScriptedCharacter::setSize(QSize size) {
    calls.append(QStringLiteral("size"));
    size_ = size;
}

void ScriptedCharacter::setPosition(QPoint topLeft) {
    calls.append(QStringLiteral("position"));
    position_ = topLeft;
    Q_EMIT moved(topLeft.x(), topLeft.y(), character::MovedByProgram);
}

bool ScriptedCharacter::completeNext() {
    if (open_.isEmpty())
        return false;
    const character::RequestId id = open_.takeFirst();
    Q_EMIT requestComplete(id);
    return true;
}

void ScriptedCharacter::completeAll() {
    while (completeNext()) {
    }
}

void ScriptedCharacter::dragTo(QPoint topLeft) {
    position_ = topLeft;
    Q_EMIT moved(topLeft.x(), topLeft.y(), character::MovedByUser);
}

} // namespace folimar::testing
