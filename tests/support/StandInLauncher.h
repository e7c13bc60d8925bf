#pragma once

#include "platform/process/ProcessLauncher.h"

#include <QPointer>
#include <QStringList>

namespace folimar::testing {

// A converter run that ends when the test says so.
class StandInRun final : public platform::ProcessRun {
public:
    bool isRunning() const override { return running; }
    void kill() override {
        killed = true;
        running = false;
    }
    void end(bool succeeded) {
        running = false;
        Q_EMIT finished(succeeded);
    }
    bool running = true;
    bool killed = false;
};

// Records each start; the runs stay under the test's control.
class StandInLauncher final : public platform::ProcessLauncher {
public:
    std::unique_ptr<platform::ProcessRun> start(const QString& program,
                                                const QStringList& arguments,
                                                const QString& workingFolder) override {
        this->program = program;
        this->arguments = arguments;
        folder = workingFolder;
        auto run = std::make_unique<StandInRun>();
        last = run.get();
        return run;
    }
    QString program;
    QStringList arguments;
    QString folder;
    QPointer<StandInRun> last;
};

} // namespace folimar::testing
