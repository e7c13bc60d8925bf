#include "topics/PageView.h"
#include "topics/TopicNavigation.h"

namespace folimar::topics {

PageView::~PageView() = default;
TopicNavigation::~TopicNavigation() = default;

} // namespace folimar::topics
