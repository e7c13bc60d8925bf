#include "reader/SentenceReader.h"

#include "platform/clock/Clock.h"
#include "platform/dialogs/Dialogs.h"
#include "reader/CharacterHost.h"
#include "reader/PlayLoopDriver.h"
#include "reader/ReaderLog.h"
#include "reader/ReaderState.h"
#include "reader/ReaderTextBox.h"
#include "reader/TopicList.h"
#include "sentences/SentenceBounds.h"
#include "settings/Settings.h"

#include <algorithm>

namespace folimar::reader {

namespace {

enum PlayTopics { Single = 0, All = 1, Continuous = 2 };

// A character that never reports a completion must not hold reading up for ever: a request
// still open this long after its words should have been spoken counts as completed. The
// bound is generous (one word a second, plus a margin) so that slow voices are never cut.
constexpr int CompletionMarginMs = 10000;
constexpr int CompletionMsPerWord = 1000;

int completionBoundMs(const QString& text) {
    int words = 0;
    bool inWord = false;
    for (QChar c : text) {
        if (!c.isSpace() && !inWord)
            ++words;
        inWord = !c.isSpace();
    }
    return CompletionMarginMs + std::min(words, 1000000) * CompletionMsPerWord;
}

// Selects from `start` (a start below 0 counts as 0) through `end`, exclusive.
void selectRange(ReaderTextBox& box, int start, int end) {
    start = std::max(start, 0);
    box.setSelectionStart(start);
    box.setSelectionLength(end - start);
}

} // namespace

SentenceReader::SentenceReader(ReaderState& state, settings::Settings& settings,
                               CharacterHost& host, platform::Dialogs& dialogs,
                               platform::Clock& clock, QObject* parent)
    : QObject(parent), state_(state), settings_(settings), host_(host), dialogs_(dialogs),
      clock_(clock), driver_(std::make_unique<PlayLoopDriver>()) {
    connect(&host_, &CharacterHost::pauseToggleRequested, this, &SentenceReader::TogglePause);
    connect(&host_, &CharacterHost::speechRequestDone, driver_.get(), &PlayLoopDriver::poke);
    connect(&host_, &CharacterHost::characterUnloading, this, &SentenceReader::retireLoop);
    connect(&host_, &CharacterHost::characterReplaced, this, &SentenceReader::PlayReading);
    connect(&host_, &CharacterHost::wordReached, this, &SentenceReader::onWordReached);
}

SentenceReader::~SentenceReader() = default;

void SentenceReader::setTextBox(ReaderTextBox* textBox) {
    if (textBox != textBox_)
        retireLoop();
    textBox_ = textBox;
}

void SentenceReader::flagsChanged() {
    driver_->poke();
}

bool SentenceReader::isReading() const {
    return driver_->hasLoop();
}

void SentenceReader::setTopicList(TopicList* topics) {
    topics_ = topics;
}

int SentenceReader::topicCount() const {
    return topics_ ? topics_->count() : 0;
}

void SentenceReader::PlayReading() {
    if (!textBox_ || textBox_->text().isEmpty())
        return;
    if (!host_.ensureLoaded()) {
        if (characterMissing_)
            characterMissing_();
        return;
    }
    // A loop whose stop is pending no longer counts: the new play takes over from it.
    const bool running = driver_->hasLoop() && !state_.StopRequested;
    if (state_.Paused && running) {
        state_.Paused = false;
        FocusReader();
        driver_->poke();
        return;
    }
    if (running)
        return;
    if (driver_->isExecuting()) {
        // Called from one of the loop's own steps: start once that step has finished.
        QMetaObject::invokeMethod(this, &SentenceReader::PlayReading, Qt::QueuedConnection);
        return;
    }
    if (state_.StopRequested)
        settleStop();
    retireLoop();
    driver_->start(playLoop());
}

void SentenceReader::TogglePause() {
    if (!state_.Paused) {
        state_.Paused = true;
        forgetSpeech();
        if (auto* character = host_.character())
            character->stop();
    } else {
        state_.Paused = false;
    }
    driver_->poke();
}

void SentenceReader::StopReading() {
    state_.StopRequested = true;
    state_.Paused = false;
    state_.LoopActive = false;
    forgetSpeech();
    if (auto* character = host_.character())
        character->stop();
    driver_->poke();
}

void SentenceReader::SkipSentence() {
    state_.SkipPause = true;
    state_.NextPressed = true;
    pauseAndCutSpeech();
    driver_->poke();
}

void SentenceReader::PreviousSentence() {
    if (textBox_)
        jumpTo(sentences::previousSentenceStart(textBox_->text(), settings_.ReadPos,
                                                sentences::sentenceEndsOf(settings_.SentenceEnds)));
}

void SentenceReader::RewindReading() {
    if (textBox_)
        textBox_->setSelectionStart(0);
    jumpTo(0);
}

void SentenceReader::RepositionAtCaret() {
    if (textBox_)
        jumpTo(textBox_->selectionStart());
}

void SentenceReader::FocusReader() {
    if (textBox_ && !textBox_->windowMinimised())
        textBox_->takeFocus();
}

void SentenceReader::changeTopic(const std::function<void()>& selectTopic) {
    pauseAndCutSpeech();
    selectTopic();
    state_.JumpPending = true;
    state_.JumpPos = 0;
    settings_.ReadPos = 0;
    state_.UserMoved = true;
    state_.Paused = false;
    driver_->poke();
}

void SentenceReader::jumpTo(int position) {
    settings_.ReadPos = position;
    state_.JumpPos = position;
    state_.FindPos = position;
    state_.JumpPending = true;
    state_.UserMoved = true;
    state_.RestartTopic = true;
    state_.SkipPause = true;
    pauseAndCutSpeech();
    driver_->poke();
}

void SentenceReader::pauseAndCutSpeech() {
    if (state_.Paused)
        return;
    state_.Paused = true;
    forgetSpeech();
    if (auto* character = host_.character())
        character->stop();
}

// The stop the ended loop did not reach (or one made while nothing was reading) is done.
void SentenceReader::settleStop() {
    state_.StopRequested = false;
    if (state_.QuitPending)
        state_.QuitRequested = true;
}

void SentenceReader::retireLoop() {
    driver_->retire();
    forgetSpeech();
    awaitingRequest_ = false;
    state_.LoopActive = false;
}

LoopWait SentenceReader::SpeakSentence(const QString& sentence) {
    // A completion that came after its time-out must not count for this request.
    state_.RequestDone = false;
    auto* character = host_.character();
    if (!character) {
        state_.StopRequested = true;
        return driver_->until([] { return true; });
    }
    forgetSpeech();
    sentences::SpokenText spoken(sentence, settings_.CapsAsSmall == 1);
    const int start = settings_.ReadPos;
    Q_EMIT sentenceQueued(start, spoken.text());
    const character::RequestId request = character->speak(spoken.text());
    speech_ = Speech{request, start, std::move(spoken)};
    state_.SpeechRequest = character->get(QStringLiteral("state"), QStringLiteral("Speaking"));
    return requestDone(completionBoundMs(speech_->spoken.text()));
}

LoopWait SentenceReader::requestDone(int boundMs) {
    const quint64 serial = ++requestSerial_;
    awaitingRequest_ = true;
    clock_.singleShot(boundMs, this, [this, serial, boundMs] {
        if (serial != requestSerial_ || !awaitingRequest_ || state_.RequestDone)
            return;
        qCInfo(readerLog) << "request" << state_.SpeechRequest << "did not complete within"
                          << boundMs << "ms; reading goes on";
        state_.RequestDone = true;
        driver_->poke();
    });
    return driver_->until([this] {
        if (!state_.RequestDone)
            return false;
        state_.RequestDone = false;
        awaitingRequest_ = false;
        forgetSpeech(); // the sentence has been said: a word still on its way is late
        return true;
    });
}

int SentenceReader::sentenceEnd(const ReaderTextBox& box, int from) const {
    return sentences::nextSentenceEnd(box.text(), from,
                                      sentences::sentenceEndsOf(settings_.SentenceEnds));
}

void SentenceReader::onWordReached(character::RequestId speech, int offset, int length) {
    if (!speech_ || speech != speech_->request)
        return;
    const auto word = speech_->spoken.inSentence(offset, length);
    if (!word)
        return;
    wordShown_ = true;
    Q_EMIT spokenWordChanged(speech_->start + word->start, word->length);
}

void SentenceReader::forgetSpeech() {
    speech_.reset();
    if (std::exchange(wordShown_, false))
        Q_EMIT spokenWordChanged(0, 0);
}

PlayLoop SentenceReader::playLoop() {
    ReaderState& st = state_;
    ReaderTextBox& box = *textBox_;
    for (;;) {
        // One run over the text, from ReadPos.
        bool afterFirst = false;
        st.Paused = false;
        // A skip asked for in the last run (to end its halt) counts for none of this one's
        // pauses, nor for its own halt.
        st.SkipPause = false;
        st.NextPressed = false;
        int s = 1;
        FocusReader();
        box.setSelectionStart(sentences::wordStartAt(box.text(), settings_.ReadPos));
        box.setSelectionLength(1);
        s = box.selectionStart() + 1;
        if (sentenceEnd(box, s - 1) == -1)
            s = 1; // after the last sentence end: from the top
        if (auto* character = host_.character(); character && !character->isVisible()) {
            character->show();
            st.LoopActive = true;
        }
        int e = sentenceEnd(box, s - 1);
        if (!st.FirstWaitDone) {
            co_await requestDone(CompletionMarginMs);
            st.FirstWaitDone = true;
        }

        int prevS = 0;
        int prevE = -1;
        // Goes on while a sentence lies ahead, or a move is still to be taken (one made
        // during the text's last sentence is taken here, not after the rest is read).
        while (e != -1 || st.JumpPending) {
            if (!st.JumpPending && !st.FindActive)
                st.FindPos = e;
            st.FindActive = false;
            FocusReader();
            if (st.JumpPending) {
                // The move is taken here: nothing is left to restart at the end of the text.
                st.JumpPending = false;
                st.UserMoved = false;
                st.RestartTopic = false;
                // The sentence starts right at the target (at its word's start), as the
                // first of a run too.
                const int target = sentences::wordStartAt(box.text(), st.JumpPos);
                s = afterFirst ? target : target + 1;
                e = sentenceEnd(box, target);
                if (e == -1)
                    break; // no sentence end after the target: the rest is the last sentence
            }
            // The candidate runs through the character just after the sentence end.
            selectRange(box, afterFirst ? s : s - 1, e + 2);
            QString sentence = box.selectedText();
            settings_.ReadPos = box.selectionStart();
            const int sentenceStart = box.selectionStart();
            afterFirst = true;
            box.setSelectionLength(int(sentence.size()) - 1); // ends with its end
            sentence = box.selectedText();
            co_await SpeakSentence(sentence);
            if (settings_.RepeatMode == 1 && !st.StopRequested && !st.Paused && !st.UserMoved)
                co_await SpeakSentence(sentence);

            prevS = sentenceStart;
            prevE = e;
            s = e + 1;
            e = sentenceEnd(box, s);
            const int nextS = s;
            const int nextE = e;
            while (st.Paused && !st.StopRequested) {
                if (st.SkipPause || st.NoRewind) {
                    st.Paused = false;
                    if (!st.JumpPending) {
                        s = nextS;
                        e = nextE;
                    }
                } else {
                    // On resume the interrupted sentence is read again from its start.
                    s = prevS;
                    e = prevE;
                }
                st.SkipPause = false;
                co_await driver_->until([this] {
                    return !state_.Paused || state_.StopRequested || state_.SkipPause ||
                           state_.NoRewind;
                });
            }
            if (st.StopRequested) {
                stopEnding(box);
                co_return;
            }
            if (e != -1) {
                st.UserMoved = false;
                st.RestartTopic = false;
                st.NextPressed = false;
            }
        }
        st.SkipPause = false;

        // The rest of the text after the last period.
        selectRange(box, afterFirst ? s : s - 1, int(box.text().size()) + 1);
        const QString rest = box.selectedText();
        settings_.ReadPos = box.selectionStart();
        if (!rest.isEmpty()) {
            co_await SpeakSentence(rest);
            if (settings_.RepeatMode == 1 && !st.StopRequested && !st.Paused)
                co_await SpeakSentence(rest);
        }
        if (st.JumpPending && !st.StopRequested) {
            // Moved while the rest was read: go there, with or without topics.
            co_await driver_->nextTurn();
            continue;
        }

        if (topicCount() == 0 || st.TopicDirty) {
            normalEnding(box);
            co_return;
        }
        // A pending stop ends reading here: no halt that would keep it on, paused.
        if (settings_.PlayTopicsMode == Single && !st.UserMoved && !st.NextPressed && !st.Paused &&
            !st.StopRequested) {
            st.Paused = true; // halt at the end of each topic until the user resumes
            if (auto* character = host_.character())
                character->stop();
            Q_EMIT topicReadThrough();
        }
        st.NextPressed = false;
        co_await driver_->until([this] { return !state_.Paused || state_.SkipPause; });
        if (st.StopRequested) {
            normalEnding(box);
            co_return;
        }
        if (st.RestartTopic) {
            st.RestartTopic = false;
            st.UserMoved = false;
            co_await driver_->nextTurn();
            continue;
        }
        ++settings_.TopicIndex;
        if (settings_.TopicIndex >= topicCount()) {
            if (settings_.PlayTopicsMode == Continuous) {
                settings_.TopicIndex = 0;
                settings_.ReadPos = 0;
            } else if (!st.UserMoved) {
                --settings_.TopicIndex;
                normalEnding(box);
                co_return;
            }
        }
        if (!st.UserMoved) {
            st.ListEventsMuted = true;
            topics_->deselectCurrent();
            st.ListEventsMuted = false;
            st.SelectedByReader = true;
            topics_->select(settings_.TopicIndex);
            settings_.ReadPos = 0;
        } else {
            --settings_.TopicIndex; // the topic the user chose stays
        }
        st.UserMoved = false;
        // One turn of the event loop per topic: a book of empty topics cannot lock it up.
        co_await driver_->nextTurn();
    }
}

void SentenceReader::stopEnding(ReaderTextBox& box) {
    forgetSpeech();
    box.setSelectionLength(0);
    if (auto* character = host_.character())
        character->hide();
    state_.LoopActive = false;
    settleStop();
    Q_EMIT readingEnded();
}

void SentenceReader::normalEnding(ReaderTextBox& box) {
    forgetSpeech();
    if (auto* character = host_.character())
        character->hide();
    state_.LoopActive = false;
    box.setSelectionStart(int(box.text().size()));
    settings_.ReadPos = 0;
    box.setSelectionLength(0);
    state_.StopRequested = false;
    state_.UserMoved = false;
    state_.SkipPause = false;
    state_.RestartTopic = false;
    if (topics_ && state_.TopicDirty)
        dialogs_.inform(QStringLiteral("Please update your topic"), QStringLiteral("Folimar"),
                        platform::MessageIcon::Critical);
    if (state_.QuitPending)
        state_.QuitRequested = true;
    Q_EMIT readingEnded();
}

} // namespace folimar::reader
