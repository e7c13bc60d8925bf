#pragma once

#include "platform/commandline/ProgramUsage.h"

namespace folimar::tray {

// What `vocimar --help` and vocimar(1) say.
platform::ProgramUsage VocimarUsage();

} // namespace folimar::tray
