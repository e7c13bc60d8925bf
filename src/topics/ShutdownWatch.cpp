#include "topics/ShutdownWatch.h"

#include "platform/clock/Clock.h"
#include "reader/ReaderState.h"
#include "settings/SettingsFile.h"
#include "store/BookStore.h"
#include "topics/TopicListState.h"

namespace folimar::topics {

ShutdownWatch::ShutdownWatch(settings::Settings& settings,
                             const platform::ProgramLocations& locations, store::BookStore& store,
                             reader::ReaderState& readerState, TopicListState& listState,
                             platform::Clock& clock, std::function<bool()> characterVisible,
                             QObject* parent)
    : QObject(parent), settings_(settings), locations_(locations), store_(store),
      readerState_(readerState), listState_(listState), clock_(clock),
      characterVisible_(std::move(characterVisible)) {
    clock_.singleShot(FlagCheckMs, this, [this] { checkFlag(); });
}

void ShutdownWatch::requestQuit() {
    if (shutDown_)
        return;
    readerState_.QuitRequested = true;
    QMetaObject::invokeMethod(this, &ShutdownWatch::shutdownStep, Qt::QueuedConnection);
}

void ShutdownWatch::startWaitTicks(qint16 ticks) {
    listState_.WaitTicks = ticks;
    if (ticks > 0 && !ticking_) {
        ticking_ = true;
        clock_.singleShot(TickMs, this, [this] { tick(); });
    }
}

void ShutdownWatch::tick() {
    ticking_ = false;
    if (listState_.WaitTicks > 0)
        --listState_.WaitTicks;
    if (readerState_.QuitRequested)
        shutdownStep();
    if (listState_.WaitTicks > 0 && !shutDown_) {
        ticking_ = true;
        clock_.singleShot(TickMs, this, [this] { tick(); });
    }
}

void ShutdownWatch::checkFlag() {
    if (shutDown_)
        return;
    if (readerState_.QuitRequested)
        shutdownStep();
    else
        clock_.singleShot(FlagCheckMs, this, [this] { checkFlag(); });
}

void ShutdownWatch::shutdownStep() {
    if (shutDown_ || !readerState_.QuitRequested)
        return;
    shutDown_ = true;
    Q_EMIT aboutToSave();
    settings::SaveSettings(settings_, locations_); // a file that cannot be written: go on
    store_.CloseAndCompactBook();
    if (characterVisible_ && characterVisible_())
        clock_.singleShot(CharacterLeaveMs, this, [this] { Q_EMIT finished(); });
    else
        Q_EMIT finished();
}

} // namespace folimar::topics
