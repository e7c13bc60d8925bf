#pragma once

#include "StandInPageView.h"
#include "platform/paths/ProgramLocations.h"
#include "reader/CharacterHost.h"
#include "reader/MemoryTextBox.h"
#include "reader/ReaderState.h"
#include "reader/SentenceReader.h"
#include "settings/Settings.h"
#include "store/BookStore.h"
#include "support/ManualClock.h"
#include "support/ScriptedCharacterService.h"
#include "support/ScriptedDialogs.h"
#include "topics/NotesWindow.h"
#include "topics/TopicListBox.h"
#include "topics/TopicListState.h"
#include "topics/TopicManager.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>
#include <optional>

namespace folimar::testing {

// One topic of a test book.
struct TestTopic {
    int TopicNo = 0;
    QString TopicName;
    QString PicText;
    QByteArray PicData;
};

// A program folder, a book folder and everything the topic manager works on, built fresh
// for each test. The reader's text box is held in memory.
struct TopicsRig {
    TopicsRig() {
        QDir().mkpath(locations.NotesFolder);
        QDir().mkpath(locations.TempFolder);
        QDir().mkpath(books);
        settings.UserName = QStringLiteral("ann");
        reader.setTextBox(&box);
    }
    ~TopicsRig() {
        manager.reset();
        reader.setTextBox(nullptr);
    }

    QString book(const QString& name) const { return books + QLatin1Char('/') + name; }
    QString programFile(const QString& name) const {
        return locations.ProgramFolder + QLatin1Char('/') + name;
    }

    // Writes a book with these topics; the first record gets `owner` when one is given.
    void makeBook(const QString& path, const QList<TestTopic>& topics,
                  std::optional<QString> owner = QStringLiteral("ann")) {
        settings::Settings makerSettings;
        ScriptedDialogs quiet;
        store::BookStore maker{makerSettings, storeLocations(), quiet};
        maker.LoadBook(); // the untitled book, made fresh
        for (const TestTopic& topic : topics)
            maker.storeTopic({topic.TopicNo, topic.TopicName, topic.PicText, topic.PicData,
                              topic.TopicNo == topics.first().TopicNo ? owner : std::nullopt});
        maker.CloseAndCompactBook();
        QFile::remove(path);
        QFile::rename(maker.untitledBookPath(), path);
        QFile::remove(locations.NotesFolder + QStringLiteral("/untitled.nts"));
    }

    // Opens the book and loads the topic manager, as start-up does.
    void open(const QString& path) {
        settings.BookPath = path;
        store.LoadBook();
        manager = std::make_unique<topics::TopicManager>(
            topics::TopicManager::Parts{store, settings, locations, state, reader, host, dialogs,
                                        list, page},
            hooks());
        manager->loadWindow();
    }
    void openTopics(const QList<TestTopic>& topics) {
        makeBook(book(QStringLiteral("Trip.fmr")), topics);
        open(book(QStringLiteral("Trip.fmr")));
    }

    topics::TopicManager::Hooks hooks() {
        topics::TopicManager::Hooks hooks;
        hooks.setReaderText = [this](const QString& text) { box.setText(text); };
        hooks.readerText = [this] { return box.text(); };
        hooks.placeReaderCaret = [this](int position) { box.setSelectionStart(position); };
        hooks.openFind = [this](bool onPage, const QString& text) {
            finds.append({onPage, text});
        };
        return hooks;
    }

    store::StoreLocations storeLocations() const {
        return {locations.ProgramFolder, locations.NotesFolder};
    }

    topics::TopicManager& m() { return *manager; }
    topics::TopicListBox& listBox() { return *manager->DispLstBx; }
    QStringList entryNames() const {
        QStringList names;
        for (int i = 0; i < manager->DispLstBx->count(); ++i)
            names.append(manager->DispLstBx->item(i)->text());
        return names;
    }
    QList<int> entryNumbers() const {
        QList<int> numbers;
        for (int i = 0; i < manager->DispLstBx->count(); ++i)
            numbers.append(manager->DispLstBx->topicNoAt(i));
        return numbers;
    }
    QStringList messageTexts() const {
        QStringList texts;
        for (const platform::MessageRequest& message : dialogs.messages)
            texts.append(message.text);
        return texts;
    }
    static void settle() {
        for (int i = 0; i < 30; ++i)
            QCoreApplication::processEvents();
    }

    QTemporaryDir root;
    QString books = root.filePath(QStringLiteral("books"));
    platform::ProgramLocations locations{root.filePath(QStringLiteral("program")),
                                         root.filePath(QStringLiteral("tmp")),
                                         root.filePath(QStringLiteral("program/notes")),
                                         root.path(), root.filePath(QStringLiteral("program"))};
    settings::Settings settings;
    ScriptedDialogs dialogs;
    store::BookStore store{settings, storeLocations(), dialogs};
    reader::ReaderState state;
    ScriptedCharacterService service;
    ManualClock clock;
    reader::CharacterHost host{state, settings, service, dialogs};
    reader::SentenceReader reader{state, settings, host, dialogs, clock};
    reader::MemoryTextBox box;
    topics::TopicListState list;
    StandInPageView page;
    std::unique_ptr<topics::TopicManager> manager;
    QList<QPair<bool, QString>> finds;
};

} // namespace folimar::testing
