#pragma once

#include "reader/MemoryTextBox.h"
#include "reader/ReaderState.h"
#include "reader/TopicList.h"

#include <QList>
#include <QStringList>

namespace folimar::testing {

// The topic list as the topic manager will behave: selecting an entry shows that topic's
// text in the text box. Records what the reader did, and which list flags were set then.
class StandInTopicList final : public reader::TopicList {
public:
    StandInTopicList(QStringList texts, reader::MemoryTextBox& box, reader::ReaderState& state)
        : texts_(std::move(texts)), box_(box), state_(state) {}

    int count() const override { return int(texts_.size()); }
    void deselectCurrent() override {
        ++deselects;
        mutedWhenDeselected = mutedWhenDeselected && state_.ListEventsMuted;
    }
    void select(int index) override {
        selected.append(index);
        selectedByReader.append(state_.SelectedByReader);
        state_.SelectedByReader = false;
        box_.setText(texts_.value(index));
    }

    QList<int> selected;
    QList<bool> selectedByReader;
    int deselects = 0;
    bool mutedWhenDeselected = true;

private:
    QStringList texts_;
    reader::MemoryTextBox& box_;
    reader::ReaderState& state_;
};

} // namespace folimar::testing
