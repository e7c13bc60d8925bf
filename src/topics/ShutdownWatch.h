#pragma once

#include <QObject>

#include <functional>

namespace folimar::platform {
class Clock;
struct ProgramLocations;
} // namespace folimar::platform
namespace folimar::reader {
struct ReaderState;
}
namespace folimar::settings {
struct Settings;
}
namespace folimar::store {
class BookStore;
}

namespace folimar::topics {

struct TopicListState;

// Ends the program once quitting is asked for: writes the settings file, closes (and
// compacts) the book, then finishes at once, or 3000 ms later while the character is
// still visible so that it has time to leave. Also counts WaitTicks down, one per 10 ms,
// while it is above 0. requestQuit() acts at once; a QuitRequested set directly (the
// reader sets it when a stop ends a pending quit) is seen within FlagCheckMs.
class ShutdownWatch final : public QObject {
    Q_OBJECT
public:
    static constexpr int TickMs = 10;
    static constexpr int CharacterLeaveMs = 3000;
    static constexpr int FlagCheckMs = 250;

    ShutdownWatch(settings::Settings& settings, const platform::ProgramLocations& locations,
                  store::BookStore& store, reader::ReaderState& readerState,
                  TopicListState& listState, platform::Clock& clock,
                  std::function<bool()> characterVisible, QObject* parent = nullptr);

    // Sets QuitRequested; the shutdown runs from a queued call. Asking again does nothing.
    void requestQuit();
    // WaitTicks := ticks, counted down every 10 ms to 0.
    void startWaitTicks(qint16 ticks);

    bool shutDown() const { return shutDown_; }

Q_SIGNALS:
    // Just before the settings are written (windows store their geometry in them).
    void aboutToSave();
    // The settings are written and the book is closed: the program may end now.
    void finished();

private:
    void tick();
    void checkFlag();
    void shutdownStep();

    settings::Settings& settings_;
    const platform::ProgramLocations& locations_;
    store::BookStore& store_;
    reader::ReaderState& readerState_;
    TopicListState& listState_;
    platform::Clock& clock_;
    std::function<bool()> characterVisible_;
    bool ticking_ = false;
    bool shutDown_ = false;
};

} // namespace folimar::topics
