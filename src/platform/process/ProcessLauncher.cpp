#include "platform/process/ProcessLauncher.h"

#include <QProcess>
#include <QTimer>

namespace folimar::platform {

ProcessLauncher::~ProcessLauncher() = default;

namespace {

class QtProcessRun final : public ProcessRun {
public:
    QtProcessRun(const QString& program, const QStringList& arguments, const QString& folder) {
        process_.setProgram(program);
        process_.setArguments(arguments);
        process_.setWorkingDirectory(folder);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.setStandardOutputFile(QProcess::nullDevice());
        connect(&process_, &QProcess::finished, this, [this](int code, QProcess::ExitStatus st) {
            finish(st == QProcess::NormalExit && code == 0);
        });
        connect(&process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
            if (e == QProcess::FailedToStart)
                finish(false);
        });
        process_.start();
    }
    ~QtProcessRun() override {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(1000);
        }
    }
    bool isRunning() const override { return process_.state() != QProcess::NotRunning; }
    void kill() override { process_.kill(); }

private:
    void finish(bool ok) {
        if (done_)
            return;
        done_ = true;
        // Deliver from the event loop so a caller connecting after start() still hears it.
        QTimer::singleShot(0, this, [this, ok] { Q_EMIT finished(ok); });
    }
    QProcess process_;
    bool done_ = false;
};

} // namespace

std::unique_ptr<ProcessRun> QtProcessLauncher::start(const QString& program,
                                                     const QStringList& arguments,
                                                     const QString& workingFolder) {
    return std::make_unique<QtProcessRun>(program, arguments, workingFolder);
}

} // namespace folimar::platform
