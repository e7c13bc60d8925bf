#include "reader/MemoryTextBox.h"

#include <algorithm>

namespace folimar::reader {

void MemoryTextBox::setText(const QString& text) {
    text_ = text;
    start_ = 0;
    length_ = 0;
}

void MemoryTextBox::setSelectionStart(int start) {
    start_ = std::clamp(start, 0, int(text_.size()));
    length_ = 0;
}

void MemoryTextBox::setSelectionLength(int length) {
    length_ = std::clamp(length, 0, int(text_.size()) - start_);
}

} // namespace folimar::reader
