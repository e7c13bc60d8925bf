#include "AudioServer.h"

#include <QFile>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <pulse/simple.h>

namespace folimar::bench {

namespace {

constexpr int ListenRate = 16000;
constexpr double VoicedLevel = 400.0; // RMS

} // namespace

AudioServer::AudioServer() {
    if (!runtime_.isValid())
        return;
    qputenv("XDG_RUNTIME_DIR", runtime_.path().toUtf8());
    qunsetenv("PULSE_SERVER");
    server_.setProgram(QStringLiteral("pulseaudio"));
    server_.setArguments({"--daemonize=no", "-n", "--exit-idle-time=-1", "--use-pid-file=no",
                          QStringLiteral("--load=module-null-sink sink_name=") + Sink,
                          "--load=module-native-protocol-unix"});
    server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server_.start();
    if (!server_.waitForStarted(5000))
        return;
    const QString socket = runtime_.filePath("pulse/native");
    for (int i = 0; i < 100 && !QFile::exists(socket); ++i)
        QThread::msleep(100);
    running_ = QFile::exists(socket);
}

AudioServer::~AudioServer() {
    if (server_.state() == QProcess::NotRunning)
        return;
    server_.terminate();
    if (!server_.waitForFinished(5000))
        server_.kill();
}

bool voiced(const std::int16_t* samples, std::size_t count) {
    double sum = 0;
    for (std::size_t i = 0; i < count; ++i)
        sum += double(samples[i]) * samples[i];
    return count > 0 && std::sqrt(sum / double(count)) >= VoicedLevel;
}

std::vector<double> longestSilences(const std::vector<bool>& voicedBlocks, double blockMs,
                                    std::size_t count) {
    std::vector<double> silences;
    std::optional<std::size_t> lastVoiced;
    for (std::size_t i = 0; i < voicedBlocks.size(); ++i) {
        if (!voicedBlocks[i])
            continue;
        if (lastVoiced)
            silences.push_back(double(i - *lastVoiced - 1) * blockMs);
        lastVoiced = i;
    }
    std::sort(silences.begin(), silences.end(), std::greater<>());
    silences.resize(std::min(silences.size(), count));
    return silences;
}

SinkListener::SinkListener() {
    const pa_sample_spec format{PA_SAMPLE_S16LE, ListenRate, 1};
    const auto blockBytes = std::uint32_t(ListenRate * BlockMs / 1000 * 2);
    const pa_buffer_attr buffer{std::uint32_t(-1), std::uint32_t(-1), std::uint32_t(-1),
                                std::uint32_t(-1), blockBytes};
    const QByteArray monitor = QByteArray(AudioServer::Sink) + ".monitor";
    stream_ = pa_simple_new(nullptr, "Folimar bench", PA_STREAM_RECORD, monitor.constData(),
                            "listening", &format, nullptr, &buffer, nullptr);
    if (stream_)
        thread_ = std::thread(&SinkListener::run, this);
}

SinkListener::~SinkListener() {
    quit_ = true;
    if (thread_.joinable())
        thread_.join();
    if (stream_)
        pa_simple_free(stream_);
}

void SinkListener::run() {
    std::vector<std::int16_t> block(std::size_t(ListenRate * BlockMs / 1000));
    while (!quit_) {
        if (pa_simple_read(stream_, block.data(), block.size() * sizeof(std::int16_t), nullptr) < 0)
            return;
        const Block heard{Clock::now(), voiced(block.data(), block.size())};
        const std::lock_guard lock(mutex_);
        blocks_.push_back(heard);
    }
}

SilentStream::SilentStream() {
    const pa_sample_spec format{PA_SAMPLE_S16LE, ListenRate, 1};
    stream_ = pa_simple_new(nullptr, "Folimar bench", PA_STREAM_PLAYBACK, AudioServer::Sink,
                            "silence", &format, nullptr, nullptr, nullptr);
    if (stream_)
        thread_ = std::thread(&SilentStream::run, this);
}

SilentStream::~SilentStream() {
    quit_ = true;
    if (thread_.joinable())
        thread_.join();
    if (stream_)
        pa_simple_free(stream_);
}

void SilentStream::run() {
    // pa_simple_write blocks while the server's buffer is full: it paces the loop.
    const std::vector<std::int16_t> block(std::size_t(ListenRate * SinkListener::BlockMs / 1000));
    while (!quit_) {
        if (pa_simple_write(stream_, block.data(), block.size() * sizeof(std::int16_t), nullptr) <
            0)
            return;
    }
}

std::vector<SinkListener::Block> SinkListener::blocks() const {
    const std::lock_guard lock(mutex_);
    return blocks_;
}

} // namespace folimar::bench
