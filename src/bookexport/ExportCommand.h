#pragma once

#include "speechexport/AudioCommand.h"

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <optional>

namespace folimar::platform {
struct ProgramUsage;
}

namespace folimar::bookexport {

// A start that saves the book in a format other programs read, instead of opening windows:
//   folimar --export BOOK.fmr OUT.pdf|OUT.epub [--topics FIRST-LAST] [--pictures] [--verbose]
struct ExportCommand {
    QString input;
    QString output;
    std::optional<speechexport::TopicRange> topics; // none: every topic
    bool pictures = false;                          // a read-along book shows the pictures
    bool verbose = false;                           // a line per topic saved
};

struct ExportCommandParse {
    std::optional<ExportCommand> command; // none: the start is not an export (or is wrong)
    QString error;                        // what is wrong with an export's command line
};

// Reads a command line (without the program's name) that starts with "--export"; any
// other is left alone (no command, no error).
ExportCommandParse ParseExportCommand(const QStringList& arguments);

// Saves the book, telling its outcome on `out` (and with `verbose` each topic as it is
// done). Runs the application's event loop, which must exist; Ctrl+C or a termination
// signal cancel the export and keep any older file. Returns the exit status: 0 saved,
// 1 failed, 128 + the signal's number when interrupted.
int RunExportCommand(const ExportCommand& command, const QString& registryStorePath,
                     QTextStream& out, QTextStream& err);

// Answers a start that asks to export, before anything else is made. Returns the exit
// status, or nothing when the start is not an export.
std::optional<int> AnswerExportCommand(int& argc, char* argv[], const QStringList& arguments,
                                       const platform::ProgramUsage& usage, QTextStream& out,
                                       QTextStream& err);

} // namespace folimar::bookexport
