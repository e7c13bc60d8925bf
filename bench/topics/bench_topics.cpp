// Timings of the topic manager on a large book: rebuilding the list, showing a topic with
// its picture, Insert and ReNo over every topic, a keystroke in the notes window, and the
// three exports.
#include "BenchFigures.h"
#include "LargeBook.h"
#include "platform/clock/Clock.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/paths/ProgramLocations.h"
#include "reader/CharacterHost.h"
#include "reader/MemoryTextBox.h"
#include "reader/ReaderState.h"
#include "reader/SentenceReader.h"
#include "settings/Settings.h"
#include "store/BookStore.h"
#include "support/ScriptedDialogs.h"
#include "topics/NotesWindow.h"
#include "topics/PageView.h"
#include "topics/TopicListBox.h"
#include "topics/TopicListState.h"
#include "topics/TopicManager.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace folimar;

using folimar::bench::elapsedMs;
using folimar::bench::median;
using folimar::bench::report;

namespace {

class NoCharacters final : public character::CharacterService {
public:
    character::Character* load(const QString&, const QString&, QString* error) override {
        if (error)
            *error = QStringLiteral("no characters here");
        return nullptr;
    }
    void unload(const QString&) override {}
    character::Character* character(const QString&) const override { return nullptr; }
};

// The book window's side: the picture file is written when it is asked to show it.
class QuietPageView final : public topics::PageView {
public:
    void ClearPagePicture() override {}
    void showPagePicture(const QString&) override { ++shown; }
    bool PictureShown() const override { return shown > 0; }
    void setPageCaption(const QString&) override {}
    void setTopicNavigationEnabled(bool) override {}
    int shown = 0;
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bench::LargeBookCopy work(app.arguments());
    if (!work.isValid())
        return 1;
    platform::ProgramLocations locations{
        work.filePath(QStringLiteral("program")), work.filePath(QStringLiteral("tmp")),
        work.filePath(QStringLiteral("program/notes")), work.path(),
        work.filePath(QStringLiteral("program"))};
    QDir().mkpath(locations.NotesFolder);
    QDir().mkpath(locations.TempFolder);
    const QString book = work.book();

    settings::Settings settings;
    settings.BookPath = book;
    settings.UserName = QStringLiteral("bench"); // the generated book's owner
    testing::ScriptedDialogs dialogs;
    store::BookStore store(settings, {locations.ProgramFolder, locations.NotesFolder}, dialogs);
    store.LoadBook();
    reader::ReaderState state;
    NoCharacters characters;
    platform::SteadyClock clock;
    reader::CharacterHost host(state, settings, characters, dialogs);
    reader::SentenceReader reader(state, settings, host, dialogs, clock);
    reader::MemoryTextBox box;
    reader.setTextBox(&box);
    topics::TopicListState list;
    QuietPageView page;
    topics::TopicManager::Hooks hooks;
    hooks.setReaderText = [&](const QString& text) { box.setText(text); };
    hooks.readerText = [&] { return box.text(); };
    topics::TopicManager manager(
        {store, settings, locations, state, reader, host, dialogs, list, page}, hooks);
    manager.loadWindow(); // stamps the owner once, warms the cache

    std::vector<double> refreshes;
    for (int i = 0; i < 7; ++i)
        refreshes.push_back(elapsedMs([&] { manager.Doors_refresh(); }));
    report("topics.doors_refresh", median(refreshes));
    refreshes.clear();
    for (int i = 0; i < 7; ++i)
        refreshes.push_back(elapsedMs([&] { store.topicList(); }));
    report("topics.doors_refresh", median(refreshes), true); // the store's list read alone

    std::vector<double> shows;
    for (int i = 0; i < 101; ++i) {
        const int row = (i * 997) % manager.entryCount();
        manager.deselectCurrent();
        shows.push_back(elapsedMs([&] { manager.selectEntry(row); }));
    }
    report("topics.show_topic", median(shows));
    if (page.shown == 0 || box.text().isEmpty()) {
        std::fprintf(stderr, "no topic shown\n");
        return 1;
    }

    manager.deselectCurrent();
    manager.selectEntry(0);
    report("topics.insert_first", elapsedMs([&] { manager.insertTopic(); }));
    report("topics.renumber_all", elapsedMs([&] { manager.renumberTopics(); }));

    QPlainTextEdit& note = *manager.notesWindow().Text1;
    std::vector<double> keys;
    for (int i = 0; i < 101; ++i)
        keys.push_back(elapsedMs([&] { note.insertPlainText(QStringLiteral("a")); }));
    report("topics.note_keystroke", median(keys));
    keys.clear();
    for (int i = 0; i < 101; ++i)
        keys.push_back(
            elapsedMs([&] { store.writeNote(1, QStringLiteral("t"), note.toPlainText()); }));
    report("topics.note_keystroke", median(keys), true); // the store's note write alone

    // Notes on every topic, for a summary of the whole book.
    for (int no = 1; no <= manager.entryCount(); ++no)
        store.writeNote(no, QStringLiteral("Topic %1").arg(no),
                        QStringLiteral("A note of a few words on topic %1.").arg(no));
    topics::NotesWindow& notes = manager.notesWindow();
    report("topics.export_contents", elapsedMs([&] { notes.mnuContents->trigger(); }));
    report("topics.export_index", elapsedMs([&] { notes.mnuIndex->trigger(); }));
    report("topics.export_summary", elapsedMs([&] { notes.mnuSummary->trigger(); }));

    reader.setTextBox(nullptr);
    store.CloseAndCompactBook();
    return 0;
}
