#pragma once

#include "platform/termination/TerminationSignals.h"
#include "speechexport/SpeechExport.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

namespace folimar::speechexport {

// False, after saying why on `err`, when `input` is not a file or `output` is something other
// than a file (a pipe, a device or a folder is never replaced by an export).
inline bool checkCommandFiles(const QString& input, const QString& output, QTextStream& err) {
    if (!QFileInfo(input).isFile())
        err << "\"" << input << "\" does not exist.\n" << Qt::flush;
    else if (const QFileInfo file(output); file.exists() && !file.isFile())
        err << "\"" << output << "\" is not a file: give the name of a file to save to.\n"
            << Qt::flush;
    else
        return true;
    return false;
}

// Runs an export from the command line in the application's event loop, which must exist:
// `job` starts `work`, Ctrl+C or a termination signal cancel it, and its outcome is told:
// "Saved OUTPUT (`what(outcome)`)." on `out`, or why not on `err`. Returns the exit status:
// 0 saved, 1 failed, 128 + the signal's number when interrupted.
template <typename Job, typename Work, typename What>
int runCommandExport(Job& job, Work work, const QString& output, QTextStream& out, QTextStream& err,
                     What what) {
    int status = 1;
    int interruptedBy = 0;
    platform::TerminationSignals termination;
    QObject::connect(&termination, &platform::TerminationSignals::terminationRequested, &job,
                     [&](int signalNumber) {
                         interruptedBy = signalNumber;
                         job.cancel();
                     });
    QObject::connect(&job, &Job::finished, &job, [&](const auto& outcome) {
        const QString saved = what(outcome);
        switch (outcome.status) {
        case JobOutcome::Status::Saved:
            out << "Saved " << output << " (" << saved << ").\n";
            status = 0;
            break;
        case JobOutcome::Status::Cancelled:
            err << "Interrupted: " << output << " was not saved.\n";
            status = 128 + interruptedBy;
            break;
        case JobOutcome::Status::Failed:
            err << outcome.message << '\n';
            break;
        }
        out << Qt::flush;
        err << Qt::flush;
        QCoreApplication::quit();
    });
    job.start(std::move(work));
    QCoreApplication::exec();
    return status;
}

} // namespace folimar::speechexport
