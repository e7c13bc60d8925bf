#pragma once

#include <QProcess>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

struct pa_simple;

namespace folimar::bench {

// A PulseAudio server of the benchmark's own, with a null sink: its runtime folder is set for
// this process and what it starts (the speech service too), and it ends with this.
class AudioServer {
public:
    static constexpr const char* Sink = "bench";

    AudioServer();
    ~AudioServer();
    AudioServer(const AudioServer&) = delete;
    AudioServer& operator=(const AudioServer&) = delete;

    bool running() const { return running_; }

private:
    QTemporaryDir runtime_;
    QProcess server_;
    bool running_ = false;
};

// Listens to the null sink's monitor on a thread of its own and notes, for each 10 ms of
// sound, when it arrived and whether it was voiced.
class SinkListener {
public:
    using Clock = std::chrono::steady_clock;
    struct Block {
        Clock::time_point arrived;
        bool voiced;
    };
    static constexpr int BlockMs = 10;

    SinkListener();
    ~SinkListener();
    SinkListener(const SinkListener&) = delete;
    SinkListener& operator=(const SinkListener&) = delete;

    bool listening() const { return stream_ != nullptr; }
    std::vector<Block> blocks() const;

private:
    void run();

    pa_simple* stream_ = nullptr;
    mutable std::mutex mutex_;
    std::vector<Block> blocks_;
    std::atomic<bool> quit_{false};
    std::thread thread_;
};

// Keeps silence playing into the null sink on a thread of its own, so that its monitor
// records on a continuous clock: an idle null sink records nothing, and a recording would
// then begin at the first sound.
class SilentStream {
public:
    SilentStream();
    ~SilentStream();
    SilentStream(const SilentStream&) = delete;
    SilentStream& operator=(const SilentStream&) = delete;

    bool playing() const { return stream_ != nullptr; }

private:
    void run();

    pa_simple* stream_ = nullptr;
    std::atomic<bool> quit_{false};
    std::thread thread_;
};

// Whether 10 ms of 16-bit samples are voiced (loud enough to be speech).
bool voiced(const std::int16_t* samples, std::size_t count);

// The `count` longest silences between voiced stretches, in ms: with sentences that have no
// pause of their own, the silences between them.
std::vector<double> longestSilences(const std::vector<bool>& voicedBlocks, double blockMs,
                                    std::size_t count);

} // namespace folimar::bench
