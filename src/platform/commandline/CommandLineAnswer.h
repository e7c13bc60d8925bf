#pragma once

#include "platform/commandline/CommandLine.h"
#include "platform/commandline/ProgramUsage.h"

#include <QTextStream>
#include <optional>

namespace folimar::platform {

// Answers a start that asks for the help, the version or the manual page (on `out`, status
// 0), or whose command line is wrong (on `err`, status 2), before any window or file is
// made. Nothing when the program is to run.
std::optional<int> AnswerCommandLine(const ParsedCommandLine& line, const ProgramUsage& usage,
                                     QTextStream& out, QTextStream& err);

} // namespace folimar::platform
