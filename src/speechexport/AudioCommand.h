#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <optional>

namespace folimar::platform {
struct ProgramUsage;
}

namespace folimar::speechexport {

// What a start is to save as sound instead of opening windows:
//   folimar --audio BOOK.fmr OUT.opus [--topics FIRST-LAST]
//   vocimar --audio IN.txt OUT.opus
enum class AudioSource { Book, TextFile };

struct TopicRange {
    int first = 0;
    int last = 0;
};

// "3-17" (or "5" alone) as the topics numbered from 3 to 17; none for anything else.
std::optional<TopicRange> ParseTopicRange(const QString& text);

struct AudioCommand {
    QString input;
    QString output;
    std::optional<TopicRange> topics; // only for a book; none: every topic
};

struct AudioCommandParse {
    std::optional<AudioCommand> command; // none: the start is not an export (or is wrong)
    QString error;                       // what is wrong with an export's command line
};

// Reads a command line (without the program's name) that starts with "--audio"; any other
// is left alone (no command, no error).
AudioCommandParse ParseAudioCommand(const QStringList& arguments, AudioSource source);

// Saves the input as sound with the user's voice and reading settings, telling its progress
// on `err` and its outcome on `out`. Runs the application's event loop, which must exist
// (no windows are made); Ctrl+C or a termination signal cancel the export and leave no file.
// Returns the exit status: 0 saved, 1 failed, 128 + the signal's number when interrupted.
int RunAudioCommand(const AudioCommand& command, AudioSource source,
                    const QString& registryStorePath, QTextStream& out, QTextStream& err);

// Answers a start that asks to save as sound, before anything else is made: a wrong
// command line with the program's usage, an export with its own event loop and no
// windows. Returns the exit status, or nothing when the start is not an export.
std::optional<int> AnswerAudioCommand(int& argc, char* argv[], const QStringList& arguments,
                                      AudioSource source, const platform::ProgramUsage& usage,
                                      QTextStream& out, QTextStream& err);

} // namespace folimar::speechexport
