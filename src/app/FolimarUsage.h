#pragma once

#include "platform/commandline/ProgramUsage.h"

namespace folimar::app {

// What `folimar --help` and folimar(1) say.
platform::ProgramUsage FolimarUsage();

} // namespace folimar::app
