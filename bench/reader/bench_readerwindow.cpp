// The reader window with a 1 MB text: moving the highlight from sentence to sentence (the
// text box's selection; baseline: laying the whole text out again), and pasting the text
// and pressing F1 until the first sentence goes to the character (baseline: only putting
// the text into a text box).
#include "BenchFigures.h"
#include "reader/CharacterHost.h"
#include "reader/ReaderState.h"
#include "reader/ReaderWindow.h"
#include "reader/ReadingKeys.h"
#include "reader/SentenceReader.h"
#include "reader/TextEditBox.h"
#include "settings/Settings.h"
#include "store/BookStore.h"
#include "support/ManualClock.h"
#include "support/ScriptedCharacterService.h"
#include "support/ScriptedDialogs.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace folimar;

using folimar::bench::median;

namespace {

QString megabyteOfText() {
    QString text;
    for (int i = 0; text.size() < 1024 * 1024; ++i) {
        text += QStringLiteral("This is sentence number %1 of the benchmark text. ").arg(i);
        if (i % 8 == 7)
            text += QLatin1Char('\n');
    }
    return text;
}

double msSince(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e6;
}

// Sentence starts and lengths (through the period) from `from` on.
std::vector<std::pair<int, int>> sentences(const QString& text, int from, int count) {
    std::vector<std::pair<int, int>> found;
    int start = from;
    while (int(found.size()) < count) {
        const int period = text.indexOf(QLatin1Char('.'), start);
        if (period < 0)
            break;
        found.emplace_back(start, period - start + 1);
        start = period + 1;
    }
    return found;
}

struct Window {
    Window() {
        window.resize(900, 700);
        window.show();
        QApplication::processEvents();
    }
    reader::ReaderState state;
    settings::Settings settings;
    testing::ScriptedCharacterService service;
    testing::ScriptedDialogs dialogs;
    testing::ManualClock clock;
    store::BookStore store{
        settings, {QStringLiteral("/nonexistent"), QStringLiteral("/nonexistent")}, dialogs};
    reader::CharacterHost host{state, settings, service, dialogs};
    reader::SentenceReader reader{state, settings, host, dialogs, clock};
    reader::ReaderWindow window{
        reader::ReaderProfile::Folimar, {settings, state, reader, host, dialogs, &store}, {}, {}};
};

// Per sentence: the highlight moves and the window repaints, reading on from the top.
// Baseline: laying the whole text out again, which a highlight must never cause.
void highlighting(const QString& text) {
    Window w;
    w.window.Text1->setPlainText(text);
    QApplication::processEvents();
    reader::TextEditBox& box = w.window.textBox();

    // Right after the text came: a jump to its end lays out what lies before it, once.
    const auto last = sentences(text, int(text.size()) - 200, 1).front();
    QElapsedTimer timer;
    timer.start();
    box.setSelectionStart(last.first);
    box.setSelectionLength(last.second);
    QApplication::processEvents();
    std::printf("bench readerwindow.first_jump_to_end %.2f ms\n", msSince(timer));

    QTextDocument& document = *w.window.Text1->document();
    timer.start();
    document.markContentsDirty(0, document.characterCount());
    document.documentLayout()->documentSize(); // the whole height: everything laid out
    QApplication::processEvents();
    const double relayout = msSince(timer);

    std::vector<double> times;
    for (const auto& [start, length] : sentences(text, 0, 3000)) {
        timer.start();
        box.setSelectionStart(start);
        box.setSelectionLength(length);
        const QString sentence = box.selectedText();
        QApplication::processEvents();
        times.push_back(msSince(timer));
        if (sentence.isEmpty())
            std::fprintf(stderr, "empty sentence at %d\n", start);
    }
    std::sort(times.begin(), times.end());
    std::printf("bench readerwindow.highlight_sentence %.4f ms\n", median(times));
    std::printf("bench readerwindow.highlight_sentence.p99 %.4f ms\n",
                times[times.size() * 99 / 100]);
    std::printf("bench readerwindow.highlight_sentence.baseline %.2f ms\n", relayout);
}

// Paste 1 MB, press F1, until the first sentence goes to the character.
void pasteAndPlay(const QString& text) {
    std::vector<double> times;
    std::vector<double> baseline;
    for (int run = 0; run < 5; ++run) {
        Window w;
        w.service.completion = testing::ScriptedCharacter::Completion::Auto;
        reader::ReadingKeys keys(reader::ReaderProfile::Folimar, w.reader);
        keys.watch(&w.window);
        QApplication::clipboard()->setText(text);
        QApplication::processEvents();

        QElapsedTimer timer;
        timer.start();
        w.window.findChild<QAction*>(QStringLiteral("mnuPaste"))->trigger();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_F1, Qt::NoModifier);
        QApplication::sendEvent(w.window.Text1, &press);
        QApplication::sendEvent(w.window.Text1, &release);
        while (!w.service.last() || w.service.last()->spoken.isEmpty())
            QApplication::processEvents();
        times.push_back(msSince(timer));
        w.reader.StopReading();

        QTextEdit bare;
        bare.resize(900, 700);
        bare.show();
        QApplication::processEvents();
        timer.start();
        bare.setPlainText(text);
        QApplication::processEvents();
        baseline.push_back(msSince(timer));
    }
    std::printf("bench readerwindow.paste_1mb_to_first_sentence %.2f ms\n", median(times));
    std::printf("bench readerwindow.paste_1mb_to_first_sentence.baseline %.2f ms\n",
                median(baseline));
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString text = megabyteOfText();
    highlighting(text);
    pasteAndPlay(text);
    return 0;
}
