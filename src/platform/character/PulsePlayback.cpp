#include "platform/character/PulsePlayback.h"

#include <algorithm>
#include <pulse/error.h>
#include <pulse/simple.h>
#include <vector>

namespace folimar::character {

namespace {

constexpr int PeriodMs = 20;       // audio handed to the server at a time
constexpr int ServerBufferMs = 80; // what the server holds ahead of the sound card
constexpr int RingSeconds = 2;

QString pulseError(int error) {
    return QString::fromUtf8(pa_strerror(error));
}

} // namespace

PulsePlayback::PulsePlayback(int sampleRate, Notify notify)
    : sampleRate_(sampleRate), notify_(std::move(notify)),
      ring_(std::size_t(sampleRate) * RingSeconds) {
    if (connect())
        thread_ = std::thread(&PulsePlayback::run, this);
}

PulsePlayback::~PulsePlayback() {
    {
        const std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
    disconnect();
}

bool PulsePlayback::connect() {
    const pa_sample_spec format{PA_SAMPLE_S16LE, std::uint32_t(sampleRate_), 1};
    const auto bytes = std::uint32_t(sampleRate_ * ServerBufferMs / 1000 * 2);
    const pa_buffer_attr buffer{std::uint32_t(-1), bytes, std::uint32_t(-1), std::uint32_t(-1),
                                std::uint32_t(-1)};
    int error = 0;
    stream_ = pa_simple_new(nullptr, "Folimar", PA_STREAM_PLAYBACK, nullptr, "reading aloud",
                            &format, nullptr, &buffer, &error);
    if (!stream_)
        why_ = QStringLiteral("the sound server did not answer: ") + pulseError(error);
    return stream_ != nullptr;
}

void PulsePlayback::disconnect() {
    if (stream_)
        pa_simple_free(stream_);
    stream_ = nullptr;
}

void PulsePlayback::begin(std::uint64_t utterance) {
    {
        const std::lock_guard lock(mutex_);
        flush_ = flush_ || current_ != 0;
        ring_.clear();
        words_.clear();
        current_ = utterance;
        ended_ = false;
        startedSent_ = false;
        played_ = 0;
    }
    wake_.notify_all();
}

bool PulsePlayback::push(std::uint64_t utterance, std::span<const std::int16_t> samples,
                         const std::vector<WordMark>& words) {
    std::unique_lock lock(mutex_);
    if (current_ != utterance)
        return false;
    words_.insert(words_.end(), words.begin(), words.end());
    while (!samples.empty()) {
        wake_.wait(lock, [&] { return current_ != utterance || quit_ || ring_.space() > 0; });
        if (current_ != utterance || quit_)
            return false;
        samples = samples.subspan(ring_.write(samples));
        wake_.notify_all();
    }
    return true;
}

void PulsePlayback::end(std::uint64_t utterance) {
    {
        const std::lock_guard lock(mutex_);
        if (current_ == utterance)
            ended_ = true;
    }
    wake_.notify_all();
}

void PulsePlayback::cancel() {
    {
        const std::lock_guard lock(mutex_);
        flush_ = flush_ || current_ != 0;
        current_ = 0;
        ring_.clear();
        words_.clear();
    }
    wake_.notify_all();
}

void PulsePlayback::run() {
    std::vector<std::int16_t> period(std::size_t(sampleRate_ * PeriodMs / 1000));
    std::vector<Notice> notices;
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return quit_ || flush_ || current_ != 0; });
        if (quit_)
            return;
        const std::uint64_t utterance = current_;
        const bool flush = std::exchange(flush_, false);
        lock.unlock();
        int error = 0;
        if (flush && stream_)
            pa_simple_flush(stream_, &error);
        const bool connected = stream_ || connect(); // a failed server is tried again
        lock.lock();
        if (utterance == 0 || current_ != utterance)
            continue;
        if (!connected) {
            current_ = 0;
            notices.push_back({Event::Failed, utterance, {}, why_});
        } else if (!startedSent_ && ring_.size() == 0 && !ended_) {
            // Nothing made yet: silence handed over now would only hold the first words back.
            wake_.wait(lock, [&] {
                return quit_ || flush_ || current_ != utterance || ring_.size() > 0 || ended_;
            });
        } else {
            const std::size_t real = ring_.read(period);
            const bool playedOut = ended_ && ring_.size() == 0;
            std::size_t count = real;
            if (!ended_)
                count = period.size(); // still being made: silence fills what is missing
            std::fill(period.begin() + std::ptrdiff_t(real), period.begin() + std::ptrdiff_t(count),
                      0);
            if (real > 0 && !std::exchange(startedSent_, true))
                notices.push_back({Event::Started, utterance, {}, {}});
            played_ += std::int64_t(real);
            while (!words_.empty() && words_.front().sample <= played_) {
                notices.push_back({Event::Word, utterance, words_.front(), {}});
                words_.pop_front();
            }
            wake_.notify_all(); // room in the ring for the synthesis
            lock.unlock();
            for (const Notice& notice : notices)
                notify_(notice);
            notices.clear();
            bool ok = count == 0 || pa_simple_write(stream_, period.data(),
                                                    count * sizeof(std::int16_t), &error) >= 0;
            if (ok && playedOut)
                ok = pa_simple_drain(stream_, &error) >= 0;
            if (!ok)
                disconnect();
            lock.lock();
            if (current_ != utterance)
                continue;
            if (!ok) {
                current_ = 0;
                notices.push_back({Event::Failed,
                                   utterance,
                                   {},
                                   QStringLiteral("sound output failed: ") + pulseError(error)});
            } else if (playedOut) {
                current_ = 0;
                if (!std::exchange(startedSent_, true))
                    notices.push_back({Event::Started, utterance, {}, {}});
                for (const WordMark& word : words_)
                    notices.push_back({Event::Word, utterance, word, {}});
                words_.clear();
                notices.push_back({Event::Finished, utterance, {}, {}});
            }
        }
        lock.unlock();
        for (const Notice& notice : notices)
            notify_(notice);
        notices.clear();
        lock.lock();
    }
}

} // namespace folimar::character
