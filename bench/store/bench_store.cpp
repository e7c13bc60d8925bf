// Timings of the book store on a large book: opening and listing, reading one topic,
// reading every text, and closing with and without a change.
#include "BenchFigures.h"
#include "LargeBook.h"
#include "platform/database/SyncedFiles.h"
#include "platform/dialogs/Dialogs.h"
#include "settings/Settings.h"
#include "store/BookStore.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/stat.h>
#include <vector>

using namespace folimar;

using folimar::bench::elapsedMs;
using folimar::bench::median;
using folimar::bench::report;

namespace {

struct FileStamp {
    ino_t inode = 0;
    qint64 modifiedNs = 0;
    qint64 size = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

FileStamp stampOf(const QString& path) {
    struct stat info {};
    ::stat(QFile::encodeName(path).constData(), &info);
    return {info.st_ino, qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
            qint64(info.st_size)};
}

// Opens the book at `path` and reads its name-ordered list; the median of `runs`.
double openAndList(store::BookStore& store, settings::Settings& settings, const QString& path,
                   int runs) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        settings.BookPath = path;
        times.push_back(elapsedMs([&] {
            store.LoadBook();
            if (store.topicsByName().isEmpty() && store.hasBook() && store.highestTopicNo())
                std::fprintf(stderr, "no topics read\n");
        }));
        store.CloseAndCompactBook();
    }
    return median(times);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // fonts for the generated pages
    const bench::LargeBookCopy work(app.arguments());
    if (!work.isValid())
        return 1;
    const QString program = work.filePath(QStringLiteral("program"));
    QDir().mkpath(program + QStringLiteral("/notes"));
    const QString book = work.book();
    const int topics = work.topics();

    settings::Settings settings;
    testing::ScriptedDialogs dialogs;
    store::BookStore store(settings, {program, program + QStringLiteral("/notes")}, dialogs);
    store.StartStore(); // makes the empty untitled book and its notes
    store.CloseAndCompactBook();
    const QString empty = store.untitledBookPath();
    openAndList(store, settings, book, 1); // makes the large book's notes, warms the cache

    report("store.open_list", openAndList(store, settings, book, 5));
    report("store.open_list", openAndList(store, settings, empty, 5), true);

    settings.BookPath = book;
    store.LoadBook();
    QRandomGenerator random(7);
    std::vector<double> seeks;
    qint64 pictureBytes = 0;
    for (int i = 0; i < 300; ++i) {
        const int topicNo = 1 + int(random.bounded(topics));
        seeks.push_back(elapsedMs([&] {
            const auto page = store.readTopic(topicNo);
            pictureBytes += page ? page->PicData.size() + page->PicText.size() : 0;
        }));
    }
    report("store.seek_topic", median(seeks));

    std::vector<double> walks;
    for (int i = 0; i < 3; ++i) {
        store.CloseAndCompactBook(); // each walk starts with the engine's cache empty
        store.LoadBook();
        walks.push_back(elapsedMs([&] { store.topicTexts(); }));
    }
    report("store.read_all_texts", median(walks));

    const FileStamp before = stampOf(book);
    report("store.close_unchanged", elapsedMs([&] { store.CloseAndCompactBook(); }));
    if (!(stampOf(book) == before)) {
        std::fprintf(stderr, "closing an unchanged book changed the file\n");
        return 1;
    }

    const QString copy = work.filePath(QStringLiteral("cp-copy.fmr"));
    const double cp = elapsedMs([&] {
        QProcess::execute(QStringLiteral("cp"), {book, copy});
        database::syncPath(copy);
    });
    QFile::remove(copy);

    settings.BookPath = book;
    store.LoadBook();
    const auto page = store.readTopic(topics / 2);
    store.storeTopic({page->TopicNo, page->TopicName, page->PicText + QStringLiteral(" Changed."),
                      page->PicData, std::nullopt});
    report("store.close_compact", elapsedMs([&] { store.CloseAndCompactBook(); }));
    report("store.close_compact", cp, true);
    return pictureBytes > 0 ? 0 : 1;
}
