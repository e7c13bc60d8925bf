#include "reader/ReadingKeys.h"

#include "reader/SentenceReader.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace folimar::reader {

ReadingKeys::ReadingKeys(ReaderProfile profile, SentenceReader& reader, Actions actions,
                         QObject* parent)
    : QObject(parent), profile_(profile), reader_(reader), actions_(std::move(actions)) {
    // Keys go to the focused control of a window; watching them at the application lets
    // one map serve every control of the watched windows, including ones added later.
    if (auto* app = QCoreApplication::instance())
        app->installEventFilter(this);
}

ReadingKeys::~ReadingKeys() {
    if (auto* app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

void ReadingKeys::watch(QWidget* window, Keys keys) {
    if (window && !keysIn(window))
        windows_.append({window, keys});
}

std::optional<ReadingKeys::Keys> ReadingKeys::keysIn(QObject* object) const {
    if (!object->isWidgetType())
        return std::nullopt;
    const QWidget* window = static_cast<QWidget*>(object)->window();
    for (const auto& [watched, keys] : windows_)
        if (watched == window)
            return keys;
    return std::nullopt;
}

std::function<void()> ReadingKeys::functionKey(const QKeyEvent& event) const {
    SentenceReader& r = reader_;
    const int key = event.key();
    switch (key) {
    case Qt::Key_F1:
        return [&r] { r.PlayReading(); };
    case Qt::Key_F2:
        return [&r] { r.TogglePause(); };
    case Qt::Key_F3:
        return [&r] { r.StopReading(); };
    case Qt::Key_F4:
        return [&r] { r.RewindReading(); };
    case Qt::Key_F12:
        return [&r] { r.SkipSentence(); };
    default:
        break;
    }
    if (profile_ == ReaderProfile::Vocimar)
        return {};
    switch (key) {
    case Qt::Key_F5:
        return actions_.PrevTopic;
    case Qt::Key_F6:
        return actions_.NextTopic;
    case Qt::Key_F7:
        return actions_.firstTopic;
    case Qt::Key_F8:
        return actions_.lastTopic;
    case Qt::Key_F9:
        return actions_.StoreTopic;
    case Qt::Key_F11:
        return event.modifiers() & Qt::ShiftModifier ? actions_.previousDoubtful
                                                     : actions_.nextDoubtful;
    default:
        return {};
    }
}

std::function<void()> ReadingKeys::controlKey(const QKeyEvent& key) const {
    const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
    if (mods != Qt::ControlModifier)
        return {};
    const bool vocimar = profile_ == ReaderProfile::Vocimar;
    switch (key.key()) {
    case Qt::Key_F:
        return actions_.findOnPage;
    case Qt::Key_D:
        return vocimar ? nullptr : actions_.findInDoc;
    case Qt::Key_T:
        return vocimar ? nullptr : actions_.replace;
    case Qt::Key_G:
        return actions_.findNext;
    case Qt::Key_R:
        return vocimar ? actions_.findNext : nullptr;
    default:
        return {};
    }
}

bool ReadingKeys::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
        return false;
    const std::optional<Keys> keys = keysIn(watched);
    if (!keys)
        return false;
    const auto& key = static_cast<const QKeyEvent&>(*event);

    if (const std::function<void()> action = functionKey(key)) {
        // The press is ours too, so that no control acts on it.
        if (type == QEvent::KeyRelease && !key.isAutoRepeat())
            action();
        return type != QEvent::ShortcutOverride;
    }
    if (*keys == Keys::FunctionKeys)
        return false;
    if (type == QEvent::KeyPress && key.key() == Qt::Key_Escape &&
        key.modifiers() == Qt::NoModifier && actions_.cancelPageText && actions_.cancelPageText())
        return true;
    if (const std::function<void()> action = controlKey(key)) {
        if (type == QEvent::ShortcutOverride) {
            event->accept(); // ours, not a window shortcut's
            return true;
        }
        if (type == QEvent::KeyPress)
            action();
        return true;
    }
    return false;
}

} // namespace folimar::reader
