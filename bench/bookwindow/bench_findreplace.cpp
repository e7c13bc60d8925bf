// Searching and replacing through a large book, and counting its statistics:
//   bench_findreplace [TOPICS [CACHE]]
#include "BenchFigures.h"
#include "LargeBook.h"
#include "bookwindow/StatisticsWindow.h"
#include "reader/CharacterHost.h"
#include "reader/MemoryTextBox.h"
#include "reader/ReaderState.h"
#include "reader/SentenceReader.h"
#include "reader/TextFinder.h"
#include "settings/Settings.h"
#include "store/BookStore.h"
#include "support/ManualClock.h"
#include "support/ScriptedCharacterService.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace folimar;

using folimar::bench::elapsedMs;
using folimar::bench::median;
using folimar::bench::report;

namespace {

const QString LastTopicWord = QStringLiteral("zephyrquill");

// Appends `word` to the page text of each topic.
bool markTopics(store::BookStore& store, const QList<int>& topicNumbers, const QString& word) {
    for (int topicNo : topicNumbers) {
        std::optional<store::TopicPage> page = store.readTopic(topicNo);
        if (!page || !store.storeTopic({topicNo, page->TopicName,
                                        page->PicText + QLatin1Char(' ') + word + QLatin1Char('.'),
                                        page->PicData, std::nullopt}))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bench::LargeBookCopy work(app.arguments());
    if (!work.isValid())
        return 1;
    const QString program = work.filePath(QStringLiteral("program"));
    QDir().mkpath(program);
    const QString book = work.book();
    const int topics = work.topics();

    settings::Settings settings;
    testing::ScriptedDialogs dialogs;
    store::BookStore store(settings, {program, program}, dialogs);
    settings.BookPath = book;
    store.LoadBook();
    QList<int> firstThousand;
    for (int topicNo = 1; topicNo <= std::min(1000, topics); ++topicNo)
        firstThousand.append(topicNo);
    if (!markTopics(store, {topics}, LastTopicWord) ||
        !markTopics(store, firstThousand, QStringLiteral("lanternfish"))) {
        std::fprintf(stderr, "cannot mark the topics\n");
        return 1;
    }

    reader::ReaderState state;
    testing::ScriptedCharacterService characters;
    testing::ManualClock clock;
    reader::CharacterHost host{state, settings, characters, dialogs};
    reader::SentenceReader reader{state, settings, host, dialogs, clock};
    reader::MemoryTextBox box;
    reader.setTextBox(&box);
    int shownTopic = 1;
    // The topic list shows a topic by reading it, picture and all, as the topic manager does.
    const auto show = [&](int topicNo) {
        shownTopic = topicNo;
        box.setText(store.readTopic(topicNo).value_or(store::TopicPage{}).PicText);
    };
    reader::TextFinder finder{{settings, state, reader, host, dialogs, box, &store},
                              {[topics] { return topics; }, show, [&] { show(shownTopic); }, {}}};

    // A fresh book search for a word only the last topic holds, until that topic is shown.
    finder.search.FindText = LastTopicWord;
    std::vector<double> finds;
    for (int run = 0; run < 5; ++run) {
        show(1);
        finder.search.BookSearchFresh = true;
        finds.push_back(elapsedMs([&] { finder.FindNext(); }));
        if (shownTopic != topics || box.selectedText() != LastTopicWord) {
            std::fprintf(stderr, "the book search did not find the last topic\n");
            return 1;
        }
    }
    report("find.book_last_topic", median(finds));

    QFile exported(work.filePath(QStringLiteral("texts.txt")));
    if (!exported.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "cannot export the texts\n");
        return 1;
    }
    for (const store::TopicPage& page : store.topicTexts())
        exported.write(page.PicText.toUtf8() + '\n');
    exported.close();
    std::vector<double> greps;
    for (int run = 0; run < 5; ++run)
        greps.push_back(elapsedMs([&] {
            QProcess grep;
            grep.start(QStringLiteral("grep"),
                       {QStringLiteral("-c"), LastTopicWord, exported.fileName()});
            grep.waitForFinished();
        }));
    report("find.book_last_topic", median(greps), true);

    // Replace All of a word in 1,000 topics, to and fro so that every run replaces.
    std::vector<double> replaces;
    const QStringList words{QStringLiteral("lanternfish"), QStringLiteral("glowfish")};
    for (int run = 0; run < 4; ++run) {
        finder.search.ReplaceFind = words.at(run % 2);
        finder.search.ReplaceWith = words.at((run + 1) % 2);
        dialogs.messages.clear();
        replaces.push_back(elapsedMs([&] { finder.ReplaceAll(); }));
        if (dialogs.messages.isEmpty() ||
            dialogs.messages.last().text !=
                QStringLiteral("%1 Replacements where made").arg(firstThousand.size())) {
            std::fprintf(stderr, "Replace All did not replace the word in every topic\n");
            return 1;
        }
    }
    report("replace.all_1000_topics", median(replaces));

    // The statistics window from the command to the figures shown.
    bookwindow::StatisticsWindow statistics;
    QSignalSpy shown(&statistics, &bookwindow::StatisticsWindow::countsShown);
    std::vector<double> counts;
    for (int run = 0; run < 5; ++run)
        counts.push_back(elapsedMs([&] {
            statistics.showStatistics(store, topics);
            if (!shown.wait(60000))
                std::fprintf(stderr, "the statistics never came\n");
        }));
    report("stats.count", median(counts));
    reader.setTextBox(nullptr);
    return 0;
}
