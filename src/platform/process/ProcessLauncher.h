#pragma once

#include <QObject>
#include <QStringList>

#include <memory>

namespace folimar::platform {

// One started program. `finished` comes once, with whether it ended normally with
// exit code 0; a program that could not start finishes at once with false.
class ProcessRun : public QObject {
    Q_OBJECT
public:
    virtual bool isRunning() const = 0;
    virtual void kill() = 0;

Q_SIGNALS:
    void finished(bool succeeded);
};

// Starts programs with an argument list, never through a shell, so no text a user typed
// can turn into a command. Tests hand in a launcher that fakes slow, failing or missing
// programs.
class ProcessLauncher {
public:
    virtual ~ProcessLauncher();
    virtual std::unique_ptr<ProcessRun> start(const QString& program, const QStringList& arguments,
                                              const QString& workingFolder) = 0;
};

class QtProcessLauncher final : public ProcessLauncher {
public:
    std::unique_ptr<ProcessRun> start(const QString& program, const QStringList& arguments,
                                      const QString& workingFolder) override;
};

} // namespace folimar::platform
