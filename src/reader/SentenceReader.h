#pragma once

#include "platform/character/Character.h"
#include "sentences/SpokenText.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace folimar::platform {
class Clock;
class Dialogs;
} // namespace folimar::platform
namespace folimar::settings {
struct Settings;
}

namespace folimar::reader {

class CharacterHost;
class LoopWait;
class PlayLoop;
class PlayLoopDriver;
class ReaderTextBox;
class TopicList;
struct ReaderState;

// Reads the text box aloud sentence by sentence through the character, highlighting the
// sentence being spoken, and goes on through the book's topics. The operations only set
// flags of ReaderState; the one play loop (a coroutine) acts on them at its next step.
class SentenceReader final : public QObject {
    Q_OBJECT
public:
    SentenceReader(ReaderState& state, settings::Settings& settings, CharacterHost& host,
                   platform::Dialogs& dialogs, platform::Clock& clock, QObject* parent = nullptr);
    ~SentenceReader() override;

    // The reader window plugs in its text box, the topic manager its list (the tray reader
    // has none: reading ends with the text). Unplug (nullptr) before they go away;
    // unplugging the text box ends a running loop.
    void setTextBox(ReaderTextBox* textBox);
    void setTopicList(TopicList* topics);
    // Shown instead of reading when no character can be loaded.
    void setCharacterMissingNotice(std::function<void()> notice) {
        characterMissing_ = std::move(notice);
    }

    void PlayReading();
    void TogglePause();
    void StopReading();
    void SkipSentence();
    // Goes back one sentence and reads on from there (a pause in force ends); while nothing
    // is read it moves the reading place back for the next play.
    void PreviousSentence();
    void RewindReading();
    void RepositionAtCaret();
    void FocusReader();

    // How every topic change made while reading goes: `selectTopic` selects the new topic
    // in the topic list (which shows it); a running loop goes on at the new text's top.
    void changeTopic(const std::function<void()>& selectTopic);
    // A window that changed ReaderState flags itself calls this, so that a waiting loop
    // looks at them again.
    void flagsChanged();

    bool isReading() const;

Q_SIGNALS:
    // A sentence, highlighted from `start`, goes to the character.
    void sentenceQueued(int start, const QString& sentence);
    // The voice is at the word of the text box from `start`, `length` characters long,
    // within the sentence being read; a length of 0: no word is being spoken (the sentence
    // ended, or reading was stopped, paused or moved).
    void spokenWordChanged(int start, int length);
    // The play loop ended (stopped, or at the end of the text or the book).
    void readingEnded();
    // A topic was read to its end and reading halts there until the user goes on.
    void topicReadThrough();

private:
    PlayLoop playLoop();
    LoopWait SpeakSentence(const QString& sentence);
    LoopWait requestDone(int boundMs);
    void stopEnding(ReaderTextBox& box);
    void normalEnding(ReaderTextBox& box);
    void settleStop();
    void retireLoop();
    void pauseAndCutSpeech();
    void jumpTo(int position);
    // The first sentence end at or after `from` by the reading option, or -1.
    int sentenceEnd(const ReaderTextBox& box, int from) const;
    void onWordReached(character::RequestId speech, int offset, int length);
    void forgetSpeech();
    int topicCount() const;

    ReaderState& state_;
    settings::Settings& settings_;
    CharacterHost& host_;
    platform::Dialogs& dialogs_;
    platform::Clock& clock_;
    ReaderTextBox* textBox_ = nullptr;
    TopicList* topics_ = nullptr;
    std::function<void()> characterMissing_;
    std::unique_ptr<PlayLoopDriver> driver_;
    quint64 requestSerial_ = 0;
    bool awaitingRequest_ = false;

    // The sentence the character is saying: its request, where it starts in the text box
    // and the text it was given.
    struct Speech {
        character::RequestId request = 0;
        int start = 0;
        sentences::SpokenText spoken;
    };
    std::optional<Speech> speech_;
    bool wordShown_ = false;
};

} // namespace folimar::reader
