#pragma once

#include "platform/character/SampleRing.h"
#include "platform/character/SpokenAudio.h"

#include <QString>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

struct pa_simple;

namespace folimar::character {

// Sound out through PulseAudio on a thread of its own. The thread pulls from a ring that the
// synthesis fills; while an utterance is still being made and the ring runs dry it plays
// silence, so a slow synthesis is never a failure. Events come on the audio thread.
class PulsePlayback {
public:
    enum class Event { Started, Word, Finished, Failed };
    struct Notice {
        Event event;
        std::uint64_t utterance;
        WordMark word; // for Word
        QString why;   // for Failed
    };
    using Notify = std::function<void(const Notice&)>;

    PulsePlayback(int sampleRate, Notify notify);
    ~PulsePlayback();
    PulsePlayback(const PulsePlayback&) = delete;
    PulsePlayback& operator=(const PulsePlayback&) = delete;

    // Whether the sound server took the stream; `why` tells otherwise.
    bool isOpen() const { return stream_ != nullptr; }
    QString why() const { return why_; }

    // A new utterance: whatever was playing is dropped.
    void begin(std::uint64_t utterance);
    // Audio of `utterance`; waits while the ring is full. False once it is no longer current.
    bool push(std::uint64_t utterance, std::span<const std::int16_t> samples,
              const std::vector<WordMark>& words);
    // All of `utterance` is pushed: it finishes when the ring has played out.
    void end(std::uint64_t utterance);
    // Drops what is playing; no notice follows for it.
    void cancel();

private:
    void run();
    bool connect();
    void disconnect();

    const int sampleRate_;
    const Notify notify_;
    pa_simple* stream_ = nullptr;
    QString why_;

    std::mutex mutex_;
    std::condition_variable wake_;
    SampleRing ring_;
    std::deque<WordMark> words_;
    std::uint64_t current_ = 0; // the utterance playing; 0: none
    bool ended_ = false;        // all of it is in the ring
    bool startedSent_ = false;
    bool flush_ = false;
    bool quit_ = false;
    std::int64_t played_ = 0; // samples of the current utterance handed to the server
    std::thread thread_;
};

} // namespace folimar::character
