#include "reader/ReadingPlaces.h"

#include "reader/ReaderState.h"
#include "reader/ReaderTextBox.h"
#include "reader/SentenceReader.h"
#include "reader/TopicList.h"
#include "settings/Settings.h"

namespace folimar::reader {

ReadingPlaces::ReadingPlaces(ReaderState& state, settings::Settings& settings,
                             SentenceReader& reader, ReaderTextBox& textBox, Hooks hooks)
    : state_(state), settings_(settings), reader_(reader), textBox_(textBox),
      hooks_(std::move(hooks)) {}

void ReadingPlaces::Set() {
    state_.BookmarkTopicIndex = settings_.TopicIndex;
    state_.BookmarkReadPos = settings_.ReadPos;
}

void ReadingPlaces::Goto() {
    jumpTo(state_.BookmarkTopicIndex, state_.BookmarkReadPos);
}

void ReadingPlaces::Back() {
    jumpTo(state_.BackTopicIndex, state_.BackReadPos);
}

bool ReadingPlaces::takeClick() {
    if (!IgnoreClick)
        return true;
    IgnoreClick = false;
    return false;
}

void ReadingPlaces::jumpTo(qint16 topicIndex, qint32 readPos) {
    if (state_.TopicDirty) {
        if (hooks_.markAddToTopic)
            hooks_.markAddToTopic();
        return;
    }
    IgnoreClick = true;
    const qint16 fromTopic = settings_.TopicIndex;
    const qint32 fromPos = settings_.ReadPos;
    settings_.TopicIndex = topicIndex;
    settings_.ReadPos = readPos;
    state_.JumpPos = readPos;

    const int count = topics_ ? topics_->count() : 0;
    if (topicIndex >= 0 && topicIndex < count) {
        if (!state_.Paused)
            reader_.TogglePause(); // cuts the sentence being spoken
        state_.ListEventsMuted = true;
        topics_->deselectCurrent();
        state_.ListEventsMuted = false;
        topics_->select(topicIndex);
        // Showing the topic resets the reading place: put it back.
        settings_.ReadPos = readPos;
        state_.JumpPos = readPos;
        textBox_.setSelectionStart(readPos);
        state_.JumpPending = true;
        state_.UserMoved = true;
        state_.Paused = false;
        state_.BackTopicIndex = fromTopic;
        state_.BackReadPos = fromPos;
        reader_.flagsChanged();
    } else if (topicIndex >= count && hooks_.blankPageAfterLast) {
        hooks_.blankPageAfterLast();
    }
}

} // namespace folimar::reader
