#pragma once

namespace folimar::reader {

// The book's topic list as the play loop uses it to move on to the next topic. Selecting
// an entry shows that topic, whose text replaces the reader's text box text.
class TopicList {
public:
    virtual ~TopicList();

    virtual int count() const = 0;
    virtual void deselectCurrent() = 0;
    virtual void select(int index) = 0;
};

} // namespace folimar::reader
