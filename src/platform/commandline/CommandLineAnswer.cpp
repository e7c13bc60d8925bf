#include "platform/commandline/CommandLineAnswer.h"

#include "platform/commandline/UsageText.h"

namespace folimar::platform {

std::optional<int> AnswerCommandLine(const ParsedCommandLine& line, const ProgramUsage& usage,
                                     QTextStream& out, QTextStream& err) {
    switch (line.action) {
    case CommandAction::Run:
    case CommandAction::Import: // the program runs it
        return std::nullopt;
    case CommandAction::Help:
        out << HelpText(usage) << Qt::flush;
        return 0;
    case CommandAction::Version:
        out << VersionText(usage) << Qt::flush;
        return 0;
    case CommandAction::ManualPage:
        out << ManualPage(usage) << Qt::flush;
        return 0;
    case CommandAction::Error:
        err << usage.program << ": " << line.error << "\nTry '" << usage.program
            << " --help' for more information.\n"
            << Qt::flush;
        return 2;
    }
    return 2;
}

} // namespace folimar::platform
