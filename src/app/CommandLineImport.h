#pragma once

#include "platform/dialogs/TerminalDialogs.h"
#include "platform/paths/ProgramLocations.h"
#include "platform/termination/TerminationSignals.h"
#include "settings/Settings.h"

#include <QObject>
#include <QStringList>
#include <memory>

namespace folimar::import {
class BookImport;
struct ImportSummary;
} // namespace folimar::import
namespace folimar::store {
class BookStore;
}

namespace folimar::app {

// `folimar --import FILE... [--into BOOK]`: the files' pages are added to the book without
// a window, the progress written to the terminal, for scripts. The book is the one named,
// else the one Folimar had open last; a book a running Folimar holds is refused. Ctrl+C
// ends the import and keeps the pages stored so far; during a password question it ends
// the command with 128 + the signal's number.
class CommandLineImport final : public QObject {
    Q_OBJECT
public:
    explicit CommandLineImport(QString registryStorePath, QObject* parent = nullptr);
    ~CommandLineImport() override;

    // Starts the import; false (with the message written) when it cannot start, and
    // `finished` then does not follow.
    bool start(const QStringList& files, const QString& into);
    int exitCode() const { return exitCode_; }

Q_SIGNALS:
    void finished();

private:
    bool refuse(const QString& message);
    void ended(const import::ImportSummary& summary);

    QString registryStorePath_;
    platform::ProgramLocations locations_;
    settings::Settings settings_;
    platform::TerminationSignals termination_;
    platform::TerminalDialogs dialogs_; // its password question watches termination_
    std::unique_ptr<store::BookStore> store_;
    std::unique_ptr<import::BookImport> import_;
    int exitCode_ = 1;
    int interruptedBy_ = 0; // the termination signal that came, 0 for none
};

} // namespace folimar::app
