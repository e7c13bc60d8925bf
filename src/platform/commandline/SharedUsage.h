#pragma once

#include "platform/commandline/ProgramUsage.h"

namespace folimar::platform {

// The files and variables Folimar and Vocimar both use, as their help lists them.
QList<UsageItem> sharedUsageFiles();
QList<UsageItem> sharedUsageEnvironment();

} // namespace folimar::platform
