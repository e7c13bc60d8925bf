#pragma once

namespace folimar::bench {

// A sound server for the speech engines: an existing one is used; otherwise PulseAudio is
// started with a null sink and stopped again when this goes away.
class AudioServer {
public:
    AudioServer();
    ~AudioServer();
    AudioServer(const AudioServer&) = delete;
    AudioServer& operator=(const AudioServer&) = delete;

    bool running() const { return running_; }
    bool startedHere() const { return startedHere_; }

private:
    bool running_ = false;
    bool startedHere_ = false;
};

} // namespace folimar::bench
