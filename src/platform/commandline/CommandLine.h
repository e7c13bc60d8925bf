#pragma once

#include <QString>
#include <QStringList>

namespace folimar::platform {

// What a start asks for: to run, or only to answer on the terminal and end.
enum class CommandAction { Run, Help, Version, ManualPage, Error };

struct ParsedCommandLine {
    CommandAction action = CommandAction::Run;
    // Qt's own options (-platform, -style, -session ID, ...), handed on to the application.
    QStringList qtArguments;
    // The words after the options: the book path, still to be joined and split.
    QStringList operands;
    // For Error: what was wrong, one line for the terminal.
    QString error;
};

// Reads the options in front of the operands (`arguments` excludes the program name). The
// first word that is not an option ends them, so a book path with spaces arrives whole;
// "--" ends them too, for a book whose name starts with "-". A program that takes no
// operands (`takesOperands` false) reports one as an error.
ParsedCommandLine ParseCommandLine(const QStringList& arguments, bool takesOperands);

// The version of both programs, from the project.
QString ProjectVersion();

} // namespace folimar::platform
