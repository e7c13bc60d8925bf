// The spoken word's mark in the reader window, driven by a scripted character that reports
// words as fast as a timer allows:
// - how long after the voice reports a word the text box paints it marked (baseline: a
//   paint asked for straight away, the event loop's own delay);
// - the processor time the mark adds while reading, as a share of one processor at the
//   normal speaking pace (baseline: the same reading with the mark turned off).
#include "BenchFigures.h"
#include "reader/CharacterHost.h"
#include "reader/ReaderState.h"
#include "reader/ReaderTextEdit.h"
#include "reader/ReaderWindow.h"
#include "reader/SentenceReader.h"
#include "settings/Settings.h"
#include "store/BookStore.h"
#include "support/ManualClock.h"
#include "support/ScriptedCharacterService.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace folimar;

namespace {

constexpr int WordsPerRun = 1500;
constexpr int NormalMsPerWord = 333; // the voices' pace at the normal rate

QString pageOfText() {
    QString text;
    for (int i = 0; i < 400; ++i) {
        text += QStringLiteral("The reader says sentence number %1 of this page aloud. ").arg(i);
        if (i % 6 == 5)
            text += QLatin1Char('\n');
    }
    return text;
}

double processCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

enum class Mode { Marked, Unmarked, BareRepaint };

struct Run {
    std::vector<double> delaysMs;
    double cpuMs = 0;
};

// Paint events of the text box's viewport: the time from the word's report to the first
// paint after it.
class PaintWatch final : public QObject {
public:
    QElapsedTimer since;
    bool waiting = false;
    std::vector<double> delaysMs;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && waiting) {
            waiting = false;
            delaysMs.push_back(double(since.nsecsElapsed()) / 1e6);
        }
        return QObject::eventFilter(watched, event);
    }
};

Run readAloud(const QString& text, Mode mode) {
    reader::ReaderState state;
    settings::Settings settings;
    settings.SpokenWordMark = mode == Mode::Marked ? 0 : 1;
    testing::ScriptedCharacterService service;
    testing::ScriptedDialogs dialogs;
    testing::ManualClock clock;
    store::BookStore store{
        settings, {QStringLiteral("/nonexistent"), QStringLiteral("/nonexistent")}, dialogs};
    reader::CharacterHost host{state, settings, service, dialogs};
    reader::SentenceReader reader{state, settings, host, dialogs, clock};
    reader::ReaderWindow window{
        reader::ReaderProfile::Folimar, {settings, state, reader, host, dialogs, &store}, {}, {}};
    window.resize(900, 700);
    window.show();
    window.loadText(text);
    auto* box = static_cast<reader::ReaderTextEdit*>(window.Text1);
    PaintWatch watch;
    box->viewport()->installEventFilter(&watch);
    QApplication::processEvents();

    reader.PlayReading();
    testing::ScriptedCharacter& character = *service.last();
    character.completeAll(); // the start-up request
    QApplication::processEvents();

    int words = 0;
    int at = 0; // where the next word of the sentence being spoken starts
    const double cpuBefore = processCpuMs();
    QTimer tick;
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const QString sentence = character.spoken.last();
        while (at < sentence.size() && sentence.at(at).isSpace())
            ++at;
        if (at >= sentence.size()) {
            at = 0;
            character.completeAll(); // said: the reader queues the next sentence
            return;
        }
        int end = at;
        while (end < sentence.size() && !sentence.at(end).isSpace())
            ++end;
        watch.since.start();
        watch.waiting = mode != Mode::Unmarked;
        if (mode == Mode::BareRepaint)
            box->viewport()->update(QRect(10 * words % 800, 20, 40, 2));
        else
            character.reachWord(at, end - at);
        at = end;
        ++words;
    });
    tick.start();
    while (words < WordsPerRun)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    tick.stop();
    QApplication::processEvents();
    Run run;
    run.cpuMs = processCpuMs() - cpuBefore;
    run.delaysMs = watch.delaysMs;
    reader.StopReading();
    QApplication::processEvents();
    return run;
}

double highest(const std::vector<double>& values) {
    return values.empty() ? 0.0 : *std::max_element(values.begin(), values.end());
}

double percentAtNormalPace(double cpuMs) {
    return 100.0 * cpuMs / WordsPerRun / NormalMsPerWord;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString text = pageOfText();
    const Run marked = readAloud(text, Mode::Marked);
    const Run unmarked = readAloud(text, Mode::Unmarked);
    const Run bare = readAloud(text, Mode::BareRepaint);

    bench::report("wordmark.word_to_paint", bench::median(marked.delaysMs));
    bench::report("wordmark.word_to_paint", bench::median(bare.delaysMs), true);
    bench::report("wordmark.word_to_paint.max", highest(marked.delaysMs));
    bench::report("wordmark.word_to_paint.max", highest(bare.delaysMs), true);
    std::printf("bench wordmark.cpu_added %.3f %%\n",
                percentAtNormalPace(marked.cpuMs - unmarked.cpuMs));
    std::printf("bench wordmark.cpu_added.baseline %.3f %%\n", percentAtNormalPace(unmarked.cpuMs));
    // Every word reported is painted: a share below 100 means marks were lost.
    std::printf("bench wordmark.words_painted %.1f %%\n",
                100.0 * double(marked.delaysMs.size()) / WordsPerRun);
    return 0;
}
