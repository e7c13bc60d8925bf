#pragma once

#include "reader/ReaderProfile.h"

#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

class QKeyEvent;

namespace folimar::reader {

class SentenceReader;

// The reading keyboard shared by the reader window, the book window and the topic
// manager: F1 play, F2 pause/resume, F3 stop, F4 rewind and F12 next sentence go to the
// sentence reader; F5 to F9, F11 (Shift+F11) and the control keys go to the actions the
// program fills in.
// Function keys act when released (a held key acts once); control keys when pressed. A
// key with an empty action passes on to the window untouched.
//
// Vocimar has no topics: F5 to F9 and Ctrl+D, Ctrl+T do nothing there, and Ctrl+R finds
// the next match like Ctrl+G.
class ReadingKeys final : public QObject {
    Q_OBJECT
public:
    struct Actions {
        std::function<void()> PrevTopic;  // F5
        std::function<void()> NextTopic;  // F6
        std::function<void()> firstTopic; // F7
        std::function<void()> lastTopic;  // F8
        std::function<void()> StoreTopic; // F9: store the page into the topic
        std::function<void()> findOnPage; // Ctrl+F
        std::function<void()> findInDoc;  // Ctrl+D
        std::function<void()> replace;    // Ctrl+T
        std::function<void()> findNext;   // Ctrl+G (and Ctrl+R in Vocimar)
        // Esc: gives up reading the page's text from its picture; false when no reading
        // runs, and the key then passes on.
        std::function<bool()> cancelPageText;
        std::function<void()> nextDoubtful;     // F11: the next doubtful word
        std::function<void()> previousDoubtful; // Shift+F11
    };

    ReadingKeys(ReaderProfile profile, SentenceReader& reader, Actions actions = {},
                QObject* parent = nullptr);
    ~ReadingKeys() override;

    // Which of the keys a watched window leaves to this map.
    enum class Keys { All, FunctionKeys };

    void setActions(Actions actions) { actions_ = std::move(actions); }
    // The keys work in `window` and everything in it (not in its dialogs). A window that
    // handles the control keys itself watches only the function keys.
    void watch(QWidget* window, Keys keys = Keys::All);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What a key does here; empty when it is not one of ours.
    std::function<void()> functionKey(const QKeyEvent& key) const;
    std::function<void()> controlKey(const QKeyEvent& key) const;
    // Which keys are ours in the window of `object`; none when it is not watched.
    std::optional<Keys> keysIn(QObject* object) const;

    ReaderProfile profile_;
    SentenceReader& reader_;
    Actions actions_;
    QList<QPair<QPointer<QWidget>, Keys>> windows_;
};

} // namespace folimar::reader
