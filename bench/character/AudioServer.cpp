#include "AudioServer.h"

#include <QProcess>
#include <QStringList>

namespace folimar::bench {

namespace {

int runPulseAudio(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral("pulseaudio"), arguments);
    if (!process.waitForFinished(15000))
        return -1;
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

} // namespace

AudioServer::AudioServer() {
    if (runPulseAudio({"--check"}) == 0) {
        running_ = true;
        return;
    }
    startedHere_ = runPulseAudio({"-D", "--exit-idle-time=-1", "-n", "--load=module-null-sink",
                                  "--load=module-native-protocol-unix"}) == 0;
    running_ = startedHere_ && runPulseAudio({"--check"}) == 0;
}

// `--kill` ends the daemon recorded in this user's PulseAudio pid file: the one started above.
AudioServer::~AudioServer() {
    if (startedHere_)
        runPulseAudio({"--kill"});
}

} // namespace folimar::bench
