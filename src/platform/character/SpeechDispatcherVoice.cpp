#include "platform/character/SpeechDispatcherVoice.h"

#include "platform/character/CharacterLog.h"
#include "platform/character/EspeakSynthesizer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <libspeechd.h>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace folimar::character {

// One connection to the service, closed with it. The last text ended is kept for a wait
// outside the event loop (soundsOut).
struct SpeechDispatcherVoice::Connection {
    SPDConnection* spd;
    std::size_t client;
    std::mutex mutex;
    std::condition_variable ended;
    std::size_t lastEnded = 0;
};

namespace {

// The library's notices carry the connection's client number but no pointer of ours, so
// the voices listening are found by that number. Guarded: the notices come on the
// library's threads while voices come and go on theirs.
struct Listeners {
    std::mutex mutex;
    std::map<std::size_t, SpeechDispatcherVoice*> voices;
};

Listeners& listeners() {
    static Listeners all;
    return all;
}

void onEvent(std::size_t message, std::size_t client, SPDNotificationType type) {
    switch (type) {
    case SPD_EVENT_BEGIN:
        SpeechDispatcherVoice::post(client, message, SpeechDispatcherVoice::Notice::Began);
        break;
    case SPD_EVENT_END:
        SpeechDispatcherVoice::post(client, message, SpeechDispatcherVoice::Notice::Ended);
        break;
    case SPD_EVENT_CANCEL:
        SpeechDispatcherVoice::post(client, message, SpeechDispatcherVoice::Notice::Cancelled);
        break;
    default:
        break;
    }
}

void onIndexMark(std::size_t message, std::size_t client, SPDNotificationType, char* mark) {
    SpeechDispatcherVoice::post(client, message, SpeechDispatcherVoice::Notice::Mark,
                                QByteArray(mark ? mark : ""));
}

// How long the service may take to answer the opening of a connection.
constexpr std::chrono::milliseconds OpeningLimit{2000};

// The library waits for the service's answer with no time limit, so a service that takes
// the connection and never answers would hold the program for good. The opening runs on a
// thread of its own; past the limit it is left there, and closes what it opens in the end.
struct Opening {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    bool abandoned = false;
    SPDConnection* connection = nullptr;
    QString error;
};

SPDConnection* openWithinLimit(QString* why) {
    const auto opening = std::make_shared<Opening>();
    std::thread([opening] {
        char* error = nullptr;
        SPDConnection* connection = spd_open2("folimar", "reader", nullptr, SPD_MODE_THREADED,
                                              nullptr, /*autospawn=*/1, &error);
        const QString reason = QString::fromUtf8(error ? error : "no reason given").trimmed();
        std::free(error);
        const std::lock_guard lock(opening->mutex);
        if (opening->abandoned) {
            if (connection)
                spd_close(connection);
            return;
        }
        opening->connection = connection;
        opening->error = reason;
        opening->finished = true;
        opening->done.notify_all();
    }).detach();
    std::unique_lock lock(opening->mutex);
    if (!opening->done.wait_for(lock, OpeningLimit, [&] { return opening->finished; })) {
        opening->abandoned = true;
        *why = QStringLiteral("the speech service did not answer within %1 s")
                   .arg(OpeningLimit.count() / 1000);
        return nullptr;
    }
    if (!opening->connection)
        *why = QStringLiteral("the speech service did not answer: ") + opening->error;
    return opening->connection;
}

// -1..1 onto the service's -100..100.
int scaled(double value) {
    return int(std::lround(100.0 * std::clamp(value, -1.0, 1.0)));
}

} // namespace

SpeechDispatcherVoice::SpeechDispatcherVoice(const VoiceSettings& settings, QObject* parent)
    : Voice(parent), settings_(settings), silent_(settings.rate) {
    QObject::connect(&silent_, &Voice::started, this, [this] {
        if (!std::exchange(begun_, true))
            Q_EMIT started();
    });
    QObject::connect(&silent_, &Voice::finished, this, &Voice::finished);
    connect();
}

SpeechDispatcherVoice::~SpeechDispatcherVoice() {
    if (connection_)
        spd_cancel(connection_->spd);
    disconnect();
}

bool SpeechDispatcherVoice::connect() {
    SPDConnection* connection = openWithinLimit(&why_);
    if (!connection)
        return false;
    const int client = spd_get_client_id(connection);
    if (client < 0) {
        spd_close(connection);
        why_ = QStringLiteral("the speech service gave no client number");
        return false;
    }
    connection_ = std::make_unique<Connection>();
    connection_->spd = connection;
    connection_->client = std::size_t(client);
    {
        const std::lock_guard lock(listeners().mutex);
        listeners().voices[connection_->client] = this;
    }
    connection->callback_begin = onEvent;
    connection->callback_end = onEvent;
    connection->callback_cancel = onEvent;
    connection->callback_im = onIndexMark;
    spd_set_notification_on(connection, SPD_BEGIN);
    spd_set_notification_on(connection, SPD_END);
    spd_set_notification_on(connection, SPD_CANCEL);
    spd_set_notification_on(connection, SPD_INDEX_MARKS);
    // Texts go as SSML, with a mark before each word.
    spd_set_data_mode(connection, SPD_DATA_SSML);
    if (!settings_.voice.isEmpty())
        spd_set_synthesis_voice(connection, settings_.voice.toUtf8().constData());
    spd_set_voice_rate(connection, scaled(settings_.rate));
    spd_set_voice_pitch(connection, scaled(settings_.pitch));
    spd_set_volume(connection, scaled(2.0 * settings_.volume - 1.0));
    return true;
}

// Once out of the list, no notice reaches this voice; those already handed over are
// dropped with it.
void SpeechDispatcherVoice::disconnect() {
    if (!connection_)
        return;
    {
        const std::lock_guard lock(listeners().mutex);
        listeners().voices.erase(connection_->client);
    }
    spd_close(connection_->spd);
    connection_.reset();
}

void SpeechDispatcherVoice::post(std::size_t client, std::size_t message, Notice notice,
                                 const QByteArray& mark) {
    const std::lock_guard lock(listeners().mutex);
    const auto found = listeners().voices.find(client);
    if (found == listeners().voices.end())
        return;
    SpeechDispatcherVoice* voice = found->second;
    if (notice == Notice::Ended) {
        Connection& connection = *voice->connection_;
        {
            const std::lock_guard ended(connection.mutex);
            connection.lastEnded = message;
        }
        connection.ended.notify_all();
    }
    QMetaObject::invokeMethod(
        voice, [voice, message, notice, mark] { voice->onNotice(message, notice, mark); },
        Qt::QueuedConnection);
}

// A service that cannot reach a sound device still takes texts, but never says they ended.
// A moment of silence is said and its end awaited, on the library's notice alone.
bool SpeechDispatcherVoice::soundsOut(int timeoutMs) {
    if (!connection_)
        return false;
    const int message =
        spd_say(connection_->spd, SPD_TEXT, "<speak><break time=\"10ms\"/></speak>");
    std::unique_lock lock(connection_->mutex);
    const bool ended =
        message > 0 && connection_->ended.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
            return connection_->lastEnded == std::size_t(message);
        });
    lock.unlock();
    if (!ended) {
        spd_cancel(connection_->spd);
        why_ = QStringLiteral("the speech service took a text but played nothing within %1 s "
                              "(is there a sound device?)")
                   .arg(timeoutMs / 1000.0);
    }
    return ended;
}

QStringList SpeechDispatcherVoice::voices() const {
    QStringList names;
    if (!connection_)
        return names;
    SPDVoice** list = spd_list_synthesis_voices(connection_->spd);
    for (SPDVoice** voice = list; voice && *voice; ++voice)
        names << QString::fromUtf8((*voice)->name);
    free_spd_voices(list);
    return names;
}

void SpeechDispatcherVoice::speak(const QString& text) {
    text_ = text;
    marked_ = markedSpeech(text);
    begun_ = false;
    retried_ = false;
    message_ = 0;
    if (say())
        return;
    // The service went away or refused: a new connection, and once more.
    qCInfo(characterLog) << "speech-dispatcher refused a text; connecting again:" << why_;
    disconnect();
    if (connect() && say())
        return;
    qCWarning(characterLog) << "speech-dispatcher failed again:" << why_
                            << "- pacing silently:" << text;
    silent_.speak(text);
}

// Sends the text being said, marked.
bool SpeechDispatcherVoice::say() {
    if (!connection_)
        return false;
    const int message = spd_say(connection_->spd, SPD_TEXT, marked_.ssml.constData());
    if (message <= 0) {
        why_ = QStringLiteral("the speech service refused the text");
        return false;
    }
    message_ = std::size_t(message);
    return true;
}

// What is said is cancelled; its notices, still on their way, are ignored.
void SpeechDispatcherVoice::stop() {
    message_ = 0;
    silent_.stop();
    if (connection_)
        spd_cancel(connection_->spd);
}

int SpeechDispatcherVoice::msPerWord() const {
    return EspeakSynthesizer::msPerWord(settings_.rate);
}

void SpeechDispatcherVoice::onNotice(std::size_t message, Notice notice, const QByteArray& mark) {
    if (message == 0 || message != message_)
        return; // from a text cancelled or replaced since
    switch (notice) {
    case Notice::Began:
        if (!std::exchange(begun_, true))
            Q_EMIT started();
        break;
    case Notice::Ended:
        message_ = 0;
        if (!std::exchange(begun_, true))
            Q_EMIT started();
        Q_EMIT finished();
        break;
    case Notice::Mark:
        if (const MarkedSpeech::Word* word = marked_.wordOfMark(mark.constData())) {
            if (!std::exchange(begun_, true))
                Q_EMIT started();
            Q_EMIT wordReached(word->offset, word->length);
        }
        break;
    case Notice::Cancelled:
        // Cancelled by someone else (another program's more important message): not heard,
        // so said again, once.
        message_ = 0;
        if (!std::exchange(retried_, true) && say())
            break;
        qCWarning(characterLog) << "speech-dispatcher cancelled a text twice - pacing silently:"
                                << text_;
        silent_.speak(text_);
        break;
    }
}

} // namespace folimar::character
