// bench_bookwindow: a book of A4 pages scanned at 300 dpi (2480 x 3508 JPEGs of about
// 1.5 MB). Times F6 to the next page's picture painted in a 960 x 1000 book window, against
// a full-size decode of the same JPEG, and the longest the window went without answering
// meanwhile, against drawing the picture at its shown size on the interface thread (as
// every page turn once did); the same turn while reading along (the next page drawn ahead
// while the current one is read aloud); and a paste of such a page from the clipboard
// until "temp.jpg" is written by the converter; then an A4 page scanned at 600 dpi pasted
// as another program offers it (a JPEG) until it is shown, and the most memory its paste
// took above the window before it, against the same for a page at 300 dpi. Medians.
#include "BenchFigures.h"
#include "bookwindow/BookWindow.h"
#include "bookwindow/PagePicture.h"
#include "bookwindow/PictureState.h"
#include "bookwindow/SpokenSentenceMark.h"
#include "platform/clock/Clock.h"
#include "platform/paths/InstalledFiles.h"
#include "platform/process/ProcessLauncher.h"
#include "reader/CharacterHost.h"
#include "reader/ReaderState.h"
#include "reader/SentenceReader.h"
#include "recognition/RecognitionSettings.h"
#include "recognition/WordBoxBlob.h"
#include "settings/Settings.h"
#include "store/BookStore.h"
#include "support/CraftedJpeg.h"
#include "support/LargePictures.h"
#include "support/ScriptedCharacterService.h"
#include "support/ScriptedDialogs.h"
#include "topics/TopicNavigation.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

using namespace folimar;

using folimar::bench::median;

namespace {

constexpr QSize PageSize(2480, 3508);
constexpr int Pages = 4;
constexpr int Turns = 21;
constexpr int Pastes = 5;

// Lines of dark "words" on paper, with scanner noise.
QImage scannedPage(unsigned seed) {
    QImage page(PageSize, QImage::Format_RGB32);
    std::mt19937 random(seed);
    for (int y = 0; y < PageSize.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(page.scanLine(y));
        const int line = (y - 250) % 70;
        const bool inText = y >= 250 && y < PageSize.height() - 250 && line < 40;
        for (int x = 0; x < PageSize.width(); ++x) {
            const bool ink = inText && x > 250 && x < PageSize.width() - 250 &&
                             ((x / 37 + y / 70 + int(seed)) % 7 != 0) && (x % 5 < 2);
            const int value = ink ? 30 + int(random() % 40) : 240 + int(random() % 9);
            row[x] = qRgb(value, value, value - 5);
        }
    }
    return page;
}

// What the topic manager does to show a topic's picture: read its record, write its bytes
// to "temp.jpg" and hand them to the book window.
class BookPages final : public topics::TopicNavigation {
public:
    BookPages(store::BookStore& store, settings::Settings& settings, QString folder)
        : store_(store), settings_(settings), folder_(std::move(folder)),
          entries_(store.topicList()) {}
    void setWindow(bookwindow::BookWindow* window) { window_ = window; }

    int entryCount() const override { return int(entries_.size()); }
    int topicNoAt(int index) const override { return entries_.at(index).TopicNo; }
    void selectEntry(int index) override {
        const auto page = store_.readTopic(entries_.at(index).TopicNo);
        if (!page)
            return;
        const QString jpeg = folder_ + QStringLiteral("/temp.jpg");
        QFile file(jpeg);
        if (!file.open(QIODevice::WriteOnly) || file.write(page->PicData) != page->PicData.size())
            std::fprintf(stderr, "bench_bookwindow: cannot write %s\n", qPrintable(jpeg));
        file.close();
        window_->showPagePictureBytes(jpeg, page->PicData);
        window_->setPageCaption(QString::number(page->TopicNo) + QStringLiteral(" : ") +
                                page->TopicName);
        settings_.TopicIndex = qint16(index);
    }
    void deselectEntryMuted(int) override {}
    void showNoTopic() override {}
    void setNumberAndName(const QString&, const QString&) override {}
    void askToAddTopic() override {}
    void markTopicStored() override {}
    void LockTopicList() override {}
    void UnlockTopicList() override {}
    void Doors_refresh() override {}
    void showTopicManager() override {}
    QString numberText() const override { return {}; }
    QString nameText() const override { return {}; }

private:
    store::BookStore& store_;
    settings::Settings& settings_;
    QString folder_;
    QList<store::TopicEntry> entries_;
    bookwindow::BookWindow* window_ = nullptr;
};

constexpr int SentenceLength = 90;

// 400 words in 40 lines over an A4 page, as recognition would give them.
recognition::PageText recognisedWords() {
    recognition::PageText page;
    for (int i = 0; i < 400; ++i) {
        if (i > 0)
            page.text += i % 10 == 0 ? QStringLiteral("\n") : QStringLiteral(" ");
        const QString word = QStringLiteral("word%1").arg(i);
        page.words.append({QRect(250 + (i % 10) * 190, 250 + (i / 10) * 70, 160, 40),
                           qint32(page.text.size()), qint32(word.size())});
        page.text += word;
    }
    return page;
}

struct Turn {
    double shownMs = 0;   // F6 to the picture painted
    double stalledMs = 0; // the longest stretch without a turn of the event loop
};

// Turns the page with F6 and lets the event loop run until the picture is painted, with a
// 1 ms timer watching how long the loop goes without a turn.
Turn turnPage(bookwindow::BookWindow& window) {
    QElapsedTimer timer;
    timer.start();
    qint64 lastTick = 0;
    qint64 longest = 0;
    QTimer watch;
    watch.setTimerType(Qt::PreciseTimer);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const qint64 now = timer.nsecsElapsed();
        longest = std::max(longest, now - lastTick);
        lastTick = now;
    });
    watch.start(1);
    window.NextTopic();
    longest = lastTick = timer.nsecsElapsed();
    while (!window.Image1->isVisible())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    window.repaint();
    const qint64 shown = timer.nsecsElapsed();
    longest = std::max(longest, shown - lastTick);
    return {shown / 1e6, longest / 1e6};
}

// A figure of this process's memory from /proc/self/status ("VmRSS:", "VmHWM:"), in MB.
long memoryMb(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(std::strlen(field))).trimmed().split(' ').front().toLong() / 1024;
    return 0;
}

// Starts the peak of resident memory ("VmHWM") afresh from the present use.
void forgetMemoryPeak() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir temporary;
    const QString program = temporary.path();
    QDir().mkpath(program + QStringLiteral("/notes"));

    settings::Settings settings;
    testing::ScriptedDialogs dialogs;
    store::BookStore store(settings, {program, program + QStringLiteral("/notes")}, dialogs);
    store.StartStore();
    QByteArray firstJpeg;
    for (int i = 0; i < Pages; ++i) {
        const QByteArray jpeg = testing::jpegBytes(scannedPage(unsigned(i + 1)), 80);
        if (i == 0)
            firstJpeg = jpeg;
        if (!store.storeTopic({i + 1, QStringLiteral("Page %1").arg(i + 1), QString(), jpeg, {}})) {
            std::fprintf(stderr, "bench_bookwindow: cannot store page %d\n", i + 1);
            return 1;
        }
    }
    std::fprintf(stderr, "bench_bookwindow: pages of %lld bytes\n", qlonglong(firstJpeg.size()));

    reader::ReaderState state;
    bookwindow::PictureState picture;
    testing::ScriptedCharacterService service;
    reader::CharacterHost host(state, settings, service, dialogs);
    platform::SteadyClock clock;
    reader::SentenceReader reader(state, settings, host, dialogs, clock);
    platform::QtProcessLauncher launcher;
    const platform::InstalledFiles installed(QCoreApplication::applicationDirPath());
    BookPages pages(store, settings, program);
    // The paste is timed to the converter's end: its text is not read here.
    const QString recognitionChoices = program + QStringLiteral("/recognition.conf");
    recognition::RecognitionSettings{false, QStringLiteral("eng")}.save(recognitionChoices);
    QString readerText;
    bookwindow::BookWindow::Hooks hooks;
    hooks.readerText = [&readerText] { return readerText; };
    bookwindow::BookWindow window({settings,
                                   state,
                                   picture,
                                   store,
                                   reader,
                                   host,
                                   dialogs,
                                   launcher,
                                   clock,
                                   installed,
                                   program,
                                   recognitionChoices,
                                   {}},
                                  hooks);
    pages.setWindow(&window);
    window.setTopicNavigation(&pages);
    window.setGeometry(0, 0, 960, 1000);
    window.show();
    QCoreApplication::processEvents();

    std::vector<double> turns;
    std::vector<double> stalls;
    for (int i = 0; i < Turns; ++i) {
        settings.TopicIndex = qint16(i % Pages - 1);
        const Turn turn = turnPage(window);
        turns.push_back(turn.shownMs);
        stalls.push_back(turn.stalledMs);
        if (!picture.PictureShown) {
            std::fprintf(stderr, "bench_bookwindow: the page picture was not shown\n");
            return 1;
        }
    }
    // Reading along: while a page is read aloud the next one is drawn ahead.
    std::vector<double> readingTurns;
    for (int i = 0; i < Turns; ++i) {
        const int from = i % (Pages - 1);
        pages.selectEntry(from);
        QEventLoop reading;
        QTimer::singleShot(300, &reading, &QEventLoop::quit);
        reading.exec();
        readingTurns.push_back(turnPage(window).shownMs);
        if (settings.TopicIndex != from + 1 || !picture.PictureShown) {
            std::fprintf(stderr, "bench_bookwindow: the next page was not shown\n");
            return 1;
        }
    }
    // The old turn's stall: the page's picture drawn at its shown size on this thread.
    const QSize shownSize(picture.PicWidth, picture.PicHeight);
    bookwindow::PagePicture stored;
    stored.load(firstJpeg);
    std::vector<double> onThread;
    for (int i = 0; i < Turns; ++i)
        onThread.push_back(bench::elapsedMs([&] { stored.render(shownSize); }));
    std::vector<double> decodes;
    for (int i = 0; i < Turns; ++i) {
        QElapsedTimer timer;
        timer.start();
        QBuffer buffer(&firstJpeg);
        buffer.open(QIODevice::ReadOnly);
        const QImage full = QImageReader(&buffer).read();
        decodes.push_back(timer.nsecsElapsed() / 1e6);
        if (full.size() != PageSize)
            return 1;
    }

    // The spoken sentence marked on a fitted page of 400 recognised words, sentence after
    // sentence, beside a bare repaint request of the picture.
    const recognition::PageText words = recognisedWords();
    state.WordBoxes = recognition::encodeWordBoxes(words);
    readerText = words.text;
    window.markSpokenSentence(0, SentenceLength); // the words are placed once per text
    std::vector<double> marks;
    std::vector<double> bareUpdates;
    for (int start = 0; start + SentenceLength < words.text.size(); start += SentenceLength) {
        marks.push_back(
            bench::elapsedMs([&] { window.markSpokenSentence(start, SentenceLength); }));
        bareUpdates.push_back(bench::elapsedMs([&] { window.Image1->update(); }));
    }
    if (window.sentenceMark()->shownBands().isEmpty()) {
        std::fprintf(stderr, "bench_bookwindow: no sentence was marked\n");
        return 1;
    }
    window.clearSpokenSentence();
    // The page turn with the words of the page present.
    std::vector<double> turnsWithWords;
    for (int i = 0; i < Turns; ++i) {
        settings.TopicIndex = qint16(i % Pages - 1);
        state.WordBoxes = recognition::encodeWordBoxes(words);
        turnsWithWords.push_back(turnPage(window).shownMs);
    }

    std::vector<double> pastes;
    bool finished = false;
    QObject::connect(&window, &bookwindow::BookWindow::pasteFinished,
                     [&finished] { finished = true; });
    QGuiApplication::clipboard()->setImage(scannedPage(99));
    const QString jpeg = program + QStringLiteral("/temp.jpg");
    for (int i = 0; i < Pastes; ++i) {
        finished = false;
        QElapsedTimer timer;
        timer.start();
        window.pastePicture();
        while (!finished)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        pastes.push_back(timer.nsecsElapsed() / 1e6);
        if (QImageReader(jpeg).size() != PageSize) {
            std::fprintf(stderr, "bench_bookwindow: the paste wrote no JPEG\n");
            return 1;
        }
    }

    // A page offered as another program offers it (a JPEG) pasted until it is shown fitted,
    // then until the paste is done, with the most memory it took above the window before it:
    // an A4 page at 600 dpi against one at 300 dpi.
    const auto pasteOffered = [&](const QByteArray& jpeg) {
        std::vector<double> shown;
        long peakMb = 0;
        for (int i = 0; i < Pastes; ++i) {
            auto* offer = new QMimeData;
            offer->setData(QStringLiteral("image/jpeg"), jpeg);
            QGuiApplication::clipboard()->setMimeData(offer);
            window.Image1->hide();
            const long idleMb = memoryMb("VmRSS:");
            forgetMemoryPeak();
            finished = false;
            QElapsedTimer timer;
            timer.start();
            window.pastePicture();
            while (!window.Image1->isVisible())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            shown.push_back(timer.nsecsElapsed() / 1e6);
            while (!finished)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            peakMb = std::max(peakMb, memoryMb("VmHWM:") - idleMb);
        }
        return std::pair(median(shown), peakMb);
    };
    const auto [a4At300DpiShown, a4At300DpiPeak] =
        pasteOffered(testing::jpegBytes(scannedPage(98), 80));
    const auto [a4At600DpiShown, a4At600DpiPeak] = pasteOffered(testing::a4At600DpiJpeg());
    if (picture.PicFullWidth != 4960) {
        std::fprintf(stderr, "bench_bookwindow: the 600 dpi page was not pasted\n");
        return 1;
    }

    std::printf("bench bookwindow.next_page_painted %.2f ms\n", median(turns));
    std::printf("bench bookwindow.next_page_painted.baseline %.2f ms\n", median(decodes));
    std::printf("bench bookwindow.next_page_longest_stall %.2f ms\n", median(stalls));
    std::printf("bench bookwindow.next_page_longest_stall.baseline %.2f ms\n", median(onThread));
    std::printf("bench bookwindow.next_page_while_reading %.2f ms\n", median(readingTurns));
    std::printf("bench bookwindow.paste_to_jpeg %.2f ms\n", median(pastes));
    std::printf("bench paste.600dpi.shown %.2f ms\n", a4At600DpiShown);
    std::printf("bench paste.600dpi.shown.baseline %.2f ms\n", a4At300DpiShown);
    std::printf("bench paste.600dpi.peak_mb %ld MB\n", a4At600DpiPeak);
    std::printf("bench paste.600dpi.peak_mb.baseline %ld MB\n", a4At300DpiPeak);
    std::printf("bench bookwindow.mark_sentence %.3f ms\n", median(marks));
    std::printf("bench bookwindow.mark_sentence.baseline %.3f ms\n", median(bareUpdates));
    std::printf("bench bookwindow.next_page_painted_with_words %.2f ms\n", median(turnsWithWords));
    return 0;
}
