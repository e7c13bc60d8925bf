#include "reader/ReaderTextBox.h"

#include <algorithm>

namespace folimar::reader {

ReaderTextBox::~ReaderTextBox() = default;

int ReaderTextBox::findPeriod(int from) const {
    return text().indexOf(QLatin1Char('.'), std::max(from, 0));
}

} // namespace folimar::reader
