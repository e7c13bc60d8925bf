#pragma once

#include "platform/commandline/ProgramUsage.h"

#include <QString>

namespace folimar::platform {

// The usage line, description, options, files and environment, for `--help`.
QString HelpText(const ProgramUsage& usage);

// "folimar 1.91", for `--version`.
QString VersionText(const ProgramUsage& usage);

// The same as the help, as a roff manual page of section 1.
QString ManualPage(const ProgramUsage& usage);

} // namespace folimar::platform
