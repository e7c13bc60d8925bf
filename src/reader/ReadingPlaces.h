#pragma once

#include <QtGlobal>
#include <functional>

namespace folimar::settings {
struct Settings;
}

namespace folimar::reader {

class ReaderTextBox;
class SentenceReader;
class TopicList;
struct ReaderState;

// The reader's popup menu: Set puts a bookmark at the reading place, Goto jumps to it and
// Back returns to where the last jump came from, in another topic if need be. A jump
// leaves the click that follows it (the one that closed the menu) without effect.
class ReadingPlaces {
public:
    struct Hooks {
        // The text holds unstored edits: "Add to Topic ???", a beep, the topic manager shown.
        std::function<void()> markAddToTopic;
        // The place lies past the last topic: the last entry de-selected, the number and
        // name boxes filled for a new topic, the picture and the captions cleared, the
        // reader text emptied.
        std::function<void()> blankPageAfterLast;
    };

    ReadingPlaces(ReaderState& state, settings::Settings& settings, SentenceReader& reader,
                  ReaderTextBox& textBox, Hooks hooks);

    void setTopicList(TopicList* topics) { topics_ = topics; }

    void Set();
    void Goto();
    void Back();
    // A click in the text box: false for the one click a jump left to be ignored.
    bool takeClick();

    bool IgnoreClick = false;

private:
    void jumpTo(qint16 topicIndex, qint32 readPos);

    ReaderState& state_;
    settings::Settings& settings_;
    SentenceReader& reader_;
    ReaderTextBox& textBox_;
    Hooks hooks_;
    TopicList* topics_ = nullptr;
};

} // namespace folimar::reader
