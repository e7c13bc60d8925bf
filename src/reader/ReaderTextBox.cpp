#include "reader/ReaderTextBox.h"

namespace folimar::reader {

ReaderTextBox::~ReaderTextBox() = default;

} // namespace folimar::reader
