#include "reader/TopicList.h"

namespace folimar::reader {

TopicList::~TopicList() = default;

} // namespace folimar::reader
