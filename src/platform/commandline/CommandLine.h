#pragma once

#include <QString>
#include <QStringList>

namespace folimar::platform {

// What a start asks for: to run, or only to answer on the terminal and end.
enum class CommandAction { Run, Help, Version, ManualPage, Error, Import };

struct ParsedCommandLine {
    CommandAction action = CommandAction::Run;
    // Qt's own options (-platform, -style, -session ID, ...), handed on to the application.
    QStringList qtArguments;
    // The words after the options: the book path, still to be joined and split.
    QStringList operands;
    // For Error: what was wrong, one line for the terminal.
    QString error;
    // For Import ("--import FILE... [--into BOOK]"): the files are the operands, and this
    // the book they go into (empty: the book Folimar has open last).
    QString importInto;
};

// Reads the options in front of the operands (`arguments` excludes the program name). The
// first word that is not an option ends them, so a book path with spaces arrives whole;
// "--" ends them too, for a book whose name starts with "-". A program that takes no
// operands (`takesOperands` false) reports one as an error. "--import" (for a program that
// takes operands) takes every word after it as a file to import, but for "--into BOOK".
ParsedCommandLine ParseCommandLine(const QStringList& arguments, bool takesOperands);

// The version of both programs, from the project.
QString ProjectVersion();

} // namespace folimar::platform
