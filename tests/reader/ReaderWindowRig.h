#pragma once

#include "reader/CharacterHost.h"
#include "reader/ReaderState.h"
#include "reader/ReaderWindow.h"
#include "reader/SentenceReader.h"
#include "reader/TopicList.h"
#include "settings/Settings.h"
#include "store/BookStore.h"
#include "support/ManualClock.h"
#include "support/ScriptedCharacterService.h"
#include "support/ScriptedDialogs.h"

#include <QAction>
#include <QCoreApplication>
#include <QStringList>
#include <QTextEdit>
#include <memory>

namespace folimar::testing {

// The topic list as the topic manager keeps it: selecting an entry shows its text in the
// reader window and makes it the current topic.
class WindowTopicList final : public reader::TopicList {
public:
    WindowTopicList(QStringList texts, reader::ReaderWindow& window, settings::Settings& settings)
        : texts_(std::move(texts)), window_(window), settings_(settings) {}
    int count() const override { return int(texts_.size()); }
    void deselectCurrent() override { ++deselects; }
    void select(int index) override {
        selected.append(index);
        settings_.TopicIndex = qint16(index);
        settings_.ReadPos = 0; // showing a topic starts it from the top
        window_.loadText(texts_.value(index));
    }
    QList<int> selected;
    int deselects = 0;

private:
    QStringList texts_;
    reader::ReaderWindow& window_;
    settings::Settings& settings_;
};

// A reader window over a scripted character, scripted dialogs and a store with no book.
struct ReaderWindowRig {
    explicit ReaderWindowRig(reader::ReaderProfile profile = reader::ReaderProfile::Folimar,
                             std::function<QString()> helpFile = {}) {
        hooks.quitRequested = [this] { ++quitCalls; };
        hooks.markAddToTopic = [this] { ++addToTopicCalls; };
        hooks.blankPageAfterLast = [this] { ++blankPageCalls; };
        hooks.setResumeOnShow = [this](bool on) { resumeOnShow = on; };
        hooks.closeToTray = [this] { ++closeToTrayCalls; };
        window = std::make_unique<reader::ReaderWindow>(
            profile,
            reader::ReaderWindow::Parts{settings, state, reader, host, dialogs,
                                        profile == reader::ReaderProfile::Folimar ? &store
                                                                                  : nullptr},
            reader::ReaderWindow::Files{std::move(helpFile), QStringLiteral("/opt/characters")}, hooks);
    }

    QAction* action(const char* name) const {
        return window->findChild<QAction*>(QLatin1String(name));
    }
    void trigger(const char* name) const { action(name)->trigger(); }
    ScriptedCharacter& character() { return *service.last(); }
    static void settle() {
        for (int i = 0; i < 30; ++i)
            QCoreApplication::processEvents();
    }
    void finish() {
        character().completeAll();
        settle();
    }

    reader::ReaderState state;
    settings::Settings settings;
    ScriptedCharacterService service;
    ScriptedDialogs dialogs;
    ManualClock clock;
    store::BookStore store{
        settings, {QStringLiteral("/nonexistent"), QStringLiteral("/nonexistent")}, dialogs};
    reader::CharacterHost host{state, settings, service, dialogs};
    reader::SentenceReader reader{state, settings, host, dialogs, clock};
    reader::ReaderWindow::Hooks hooks;
    std::unique_ptr<reader::ReaderWindow> window;
    int quitCalls = 0;
    int addToTopicCalls = 0;
    int blankPageCalls = 0;
    int closeToTrayCalls = 0;
    bool resumeOnShow = false;
};

} // namespace folimar::testing
