// From a reading key in the reader window to the first sound on a null sink of the
// benchmark's own, with the real character and voice (espeak-ng), median of 10 tries:
//   reader.key_to_sound.f1        F1 on a shown page, the character not yet loaded
//   reader.key_to_sound.f1_again  F1 after F3 (the character shown before)
//   reader.key_to_sound.resume    F2 after F2
//   reader.key_to_sound.next      F12 while reading
//   reader.key_to_sound.baseline  speak() on a shown character until its first sound
//   reader.sentence_gap.punctuation  silence between sentences read with sentences ending
//                                    at "?", "!" and paragraph ends (median, ms); the
//                                    baseline is the same read with full stops
#include "AudioServer.h"
#include "BenchFigures.h"
#include "platform/character/DesktopCharacterService.h"
#include "platform/character/VoiceProvider.h"
#include "platform/character/VoiceSettings.h"
#include "platform/clock/Clock.h"
#include "reader/CharacterHost.h"
#include "reader/ReaderState.h"
#include "reader/ReaderWindow.h"
#include "reader/ReadingKeys.h"
#include "reader/SentenceReader.h"
#include "settings/Settings.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <cstdio>
#include <optional>
#include <vector>

using namespace folimar;
using bench::longestSilences;
using bench::SinkListener;

namespace {

constexpr int Tries = 10;

const QString Page = QStringLiteral(
    "The lighthouse keeper climbed the long stair every evening before the sun went down. "
    "He trimmed the wick and polished the great lens until it shone like water. "
    "Ships far out at sea watched for the light and steered away from the rocks below. "
    "In the morning he wrote the weather in a book that nobody else ever read. ");

// Ten sentences with no pause of their own, ending by each choice of sentence ends.
const QString PunctuationEnds = QStringLiteral(
    "Cows moo! Fish swim? Lions roar! Seals swim? Hens lay!\n\nDogs bark\n\nCats nap! Owls "
    "hoot? Bees hum! Ants dig.");
const QString FullStopEnds = QStringLiteral(
    "Cows moo. Fish swim. Lions roar. Seals swim. Hens lay. Dogs bark. Cats nap. Owls hoot. "
    "Bees hum. Ants dig.");
constexpr int GapSentences = 10;

// Runs the event loop for `ms`.
void run(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void press(QWidget* target, Qt::Key key) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &down);
    QApplication::sendEvent(target, &up);
}

// From `from` to the first voiced block heard after it, once any sound still on its way
// from before has gone (a cut voice is followed by silence before the next sound); a block
// arrives once its 10 ms are in, so that much is taken off.
std::optional<double> firstSoundAfter(const SinkListener& listener,
                                      SinkListener::Clock::time_point from) {
    for (int waited = 0; waited < 3000; waited += 20) {
        bool silenceSeen = false;
        for (const SinkListener::Block& block : listener.blocks()) {
            if (block.arrived <= from)
                continue;
            if (!block.voiced)
                silenceSeen = true;
            else if (silenceSeen)
                return std::chrono::duration<double, std::milli>(block.arrived - from).count() -
                       SinkListener::BlockMs;
        }
        run(20);
    }
    return std::nullopt;
}

// One reader window on the page, with its own character host and reading keys.
struct ReaderOnPage {
    explicit ReaderOnPage(character::CharacterService& service, const QString& text = Page)
        : host(state, settings, service, dialogs) {
        keys.watch(&window);
        window.resize(900, 700);
        window.show();
        window.Text1->setPlainText(text);
        window.Text1->setFocus();
        QApplication::processEvents();
    }
    reader::ReaderState state;
    settings::Settings settings;
    testing::ScriptedDialogs dialogs;
    platform::SteadyClock clock;
    reader::CharacterHost host;
    reader::SentenceReader reader{state, settings, host, dialogs, clock};
    reader::ReaderWindow window{
        reader::ReaderProfile::Folimar, {settings, state, reader, host, dialogs, nullptr}, {}, {}};
    reader::ReadingKeys keys{reader::ReaderProfile::Folimar, reader};

    std::optional<double> key(Qt::Key key, const SinkListener& listener) {
        const auto at = SinkListener::Clock::now();
        press(window.Text1, key);
        return firstSoundAfter(listener, at);
    }
};

struct Figures {
    std::vector<double> f1, f1Again, resume, next, baseline;
};

void tryOnce(character::DesktopCharacterService& service, const SinkListener& listener,
             Figures& figures) {
    ReaderOnPage page(service);
    const auto note = [](std::vector<double>& into, std::optional<double> ms) {
        if (ms)
            into.push_back(*ms);
    };
    note(figures.f1, page.key(Qt::Key_F1, listener));
    run(1200);
    note(figures.next, page.key(Qt::Key_F12, listener));
    run(600);
    press(page.window.Text1, Qt::Key_F2);
    run(600);
    note(figures.resume, page.key(Qt::Key_F2, listener));
    run(600);
    press(page.window.Text1, Qt::Key_F3);
    run(1000); // the character has gone
    note(figures.f1Again, page.key(Qt::Key_F1, listener));
    run(600);
    press(page.window.Text1, Qt::Key_F3);
    run(1000);

    // The voice alone, on the character that is shown.
    character::Character* character = page.host.character();
    if (!character)
        return;
    character->show();
    run(1000);
    const auto at = SinkListener::Clock::now();
    character->speak(QStringLiteral("The keeper wrote the weather in his book."));
    note(figures.baseline, firstSoundAfter(listener, at));
    run(600);
    character->stop();
    character->hide();
    run(600);
    service.unload(QStringLiteral("CharacterID"));
}

// F1 on a page of short sentences, read to its end: the median silence between them.
std::optional<double> sentenceGap(character::CharacterService& service,
                                  const SinkListener& listener, const QString& text,
                                  int sentenceEnds) {
    std::optional<double> gap;
    {
        ReaderOnPage page(service, text);
        page.settings.SentenceEnds = qint16(sentenceEnds);
        const auto from = SinkListener::Clock::now();
        press(page.window.Text1, Qt::Key_F1);
        for (int waited = 0; page.reader.isReading() && waited < 60000; waited += 50)
            run(50);
        run(300);
        std::vector<bool> heard;
        for (const SinkListener::Block& block : listener.blocks())
            if (block.arrived > from)
                heard.push_back(block.voiced);
        const std::vector<double> gaps =
            longestSilences(heard, SinkListener::BlockMs, GapSentences - 1);
        if (!page.reader.isReading() && gaps.size() == GapSentences - 1)
            gap = bench::median(gaps);
        page.reader.StopReading();
        run(600);
    }
    service.unload(QStringLiteral("CharacterID"));
    return gap;
}

void print(const char* figure, const std::vector<double>& times) {
    if (times.empty()) {
        std::fprintf(stderr, "%s: no sound was heard\n", figure);
        return;
    }
    std::printf("bench %s %.2f ms\n", figure, bench::median(times));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bench::AudioServer audio;
    if (!audio.running()) {
        std::fprintf(stderr, "no sound server could be started\n");
        return 1;
    }
    const bench::SilentStream silence;
    const SinkListener listener;
    if (!silence.playing() || !listener.listening()) {
        std::fprintf(stderr, "the null sink cannot be played to or listened to\n");
        return 1;
    }
    QTemporaryDir home;
    character::VoiceSettings voice;
    voice.engine = QStringLiteral("espeak-ng");
    voice.save(home.filePath("voice.conf"));
    character::DesktopCharacterService service(
        character::DesktopCharacterService::defaultCharacterFolders(),
        std::make_unique<character::DesktopVoiceProvider>(), home.filePath("voice.conf"));

    Figures figures;
    for (int i = 0; i < Tries; ++i)
        tryOnce(service, listener, figures);
    print("reader.key_to_sound.f1", figures.f1);
    print("reader.key_to_sound.f1_again", figures.f1Again);
    print("reader.key_to_sound.resume", figures.resume);
    print("reader.key_to_sound.next", figures.next);
    print("reader.key_to_sound.baseline", figures.baseline);

    std::vector<double> punctuation;
    std::vector<double> fullStops;
    for (int i = 0; i < 3; ++i) {
        if (const auto gap = sentenceGap(service, listener, PunctuationEnds, 1))
            punctuation.push_back(*gap);
        if (const auto gap = sentenceGap(service, listener, FullStopEnds, 0))
            fullStops.push_back(*gap);
    }
    print("reader.sentence_gap.punctuation", punctuation);
    print("reader.sentence_gap.punctuation.baseline", fullStops);
    return figures.f1.empty() ? 1 : 0;
}
