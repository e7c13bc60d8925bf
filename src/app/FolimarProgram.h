#pragma once

#include "bookwindow/PictureState.h"
#include "platform/clock/Clock.h"
#include "platform/desktop/WidgetDialogs.h"
#include "platform/paths/InstalledFiles.h"
#include "platform/paths/ProgramLocations.h"
#include "platform/process/ProcessLauncher.h"
#include "platform/termination/TerminationSignals.h"
#include "reader/ReaderState.h"
#include "settings/Settings.h"
#include "topics/TopicListState.h"

#include <QObject>
#include <QTemporaryDir>
#include <QStringList>
#include <functional>
#include <memory>

namespace folimar::character {
class CharacterService;
}
namespace folimar::store {
class BookStore;
}
namespace folimar::reader {
class CharacterHost;
class FindWindow;
class ProofreadingMarks;
class ReaderWindow;
class ReadingKeys;
class ReplaceWindow;
class SentenceReader;
class TextFinder;
} // namespace folimar::reader
namespace folimar::topics {
class ShutdownWatch;
class TopicManager;
} // namespace folimar::topics
namespace folimar::platform {
class InstanceLinkServer;
}
namespace folimar::proofreading {
class PageProofreader;
}
namespace folimar::bookwindow {
class BookFileCommands;
class BookImportCommand;
class BookWindow;
class StatisticsWindow;
} // namespace folimar::bookwindow
namespace folimar::infowindows {
class AboutWindow;
class CharacterMissingNotice;
} // namespace folimar::infowindows

namespace folimar::app {

// Folimar as a whole: owns the settings, the book store, the reading engine and the
// windows, wires the windows to one another, runs start-up, and ends the program through
// one shutdown step however the end was asked for.
class FolimarProgram final : public QObject {
    Q_OBJECT
public:
    struct Options {
        QString registryStorePath; // the .reg store with the App Paths value
        // Hands a book to an instance that already runs; false when none answers.
        std::function<bool(const QString& bookPath)> handOverToRunningInstance;
        // Seams a test hands in; each one left empty is the desktop's own.
        platform::Dialogs* dialogs = nullptr;
        character::CharacterService* characters = nullptr;
        platform::ProcessLauncher* launcher = nullptr;
        QString installedFolder; // where help.dat, the characters and bmp2jpg are found
    };

    explicit FolimarProgram(Options options, QObject* parent = nullptr);
    ~FolimarProgram() override;

    // The socket on which the running program takes books handed over by later starts;
    // empty (the default) runs without the link.
    void setInstanceLinkPath(const QString& socketPath) { linkPath_ = socketPath; }

    // The start-up steps. False when this start handed its book to a running instance,
    // or was asked to quit during start-up, and is to end at once.
    bool StartProgram(const QStringList& arguments);

    // Asks the program to save its settings, close and compact the book, and end.
    void requestQuit();

    settings::Settings& settings() { return settings_; }
    reader::ReaderState& readerState() { return readerState_; }
    const platform::ProgramLocations& locations() const { return locations_; }
    store::BookStore& store() { return *store_; }
    reader::ReaderWindow& readerWindow() { return *readerWindow_; }
    bookwindow::BookWindow& bookWindow() { return *bookWindow_; }
    topics::TopicManager& topicManager() { return *topicManager_; }
    bookwindow::BookFileCommands& fileCommands() { return *fileCommands_; }
    bookwindow::BookImportCommand& importCommand() { return *importCommand_; }

Q_SIGNALS:
    // The settings are written and the book closed; the event loop may end.
    void finished();

private:
    void createReadingEngine();
    void createWindows();
    void createFindWindows();
    void createFileCommands();
    // The doubtful words: marked in the reader and on the picture, walked with F11.
    void createProofreading();
    bool turnToDoubtfulPage(bool forward);
    void walkDoubtful(bool forward); // a beep when no doubtful word is left that way
    void listenForHandedOverBooks();
    // The settings are saved and the book closed (or nothing was open yet): stops taking
    // books, closes whatever box is open and lets the program end.
    void endProgram();
    void openHandedOverBook(const QString& path);
    void wireReadingKeys();
    // Find opened from the reader or the book window, seeded with the reader's selection
    // while the character is hidden.
    void openFindFromReader(bool findOnPage);
    void showTopicNumbered(int topicNo);
    void showStatistics();
    void showWindowsInArrangementOrder();
    void selectEdgeTopic(bool last);
    void blankPageAfterLast();
    void showAbout();
    void showCharacterMissing();

    Options options_;
    settings::Settings settings_;
    platform::ProgramLocations locations_;
    platform::WidgetDialogs widgetDialogs_;
    platform::Dialogs& dialogs_;
    platform::SteadyClock clock_;
    platform::QtProcessLauncher qtLauncher_;
    platform::ProcessLauncher& launcher_;
    platform::InstalledFiles installed_;
    platform::TerminationSignals termination_;
    reader::ReaderState readerState_;
    topics::TopicListState listState_;
    bookwindow::PictureState picture_;
    std::unique_ptr<store::BookStore> store_;
    std::unique_ptr<character::CharacterService> desktopCharacters_;
    character::CharacterService* characters_ = nullptr;
    std::unique_ptr<reader::CharacterHost> host_;
    std::unique_ptr<reader::SentenceReader> reader_;
    std::unique_ptr<reader::ReadingKeys> keys_;
    std::unique_ptr<topics::ShutdownWatch> shutdown_;
    std::unique_ptr<reader::ReaderWindow> readerWindow_;
    std::unique_ptr<bookwindow::BookWindow> bookWindow_;
    std::unique_ptr<topics::TopicManager> topicManager_;
    std::unique_ptr<bookwindow::BookFileCommands> fileCommands_;
    std::unique_ptr<bookwindow::BookImportCommand> importCommand_;
    std::unique_ptr<QTemporaryDir> workFolder_;
    bool ended_ = false;
    QString linkPath_;
    std::unique_ptr<platform::InstanceLinkServer> link_;
    std::unique_ptr<reader::TextFinder> finder_;
    std::unique_ptr<reader::FindWindow> findWindow_;
    std::unique_ptr<reader::ReplaceWindow> replaceWindow_;
    std::unique_ptr<bookwindow::StatisticsWindow> statistics_;
    std::unique_ptr<proofreading::PageProofreader> proofreader_;
    std::unique_ptr<reader::ProofreadingMarks> proofreadingMarks_;
    std::unique_ptr<infowindows::AboutWindow> about_;
    std::unique_ptr<infowindows::CharacterMissingNotice> missingNotice_;
};

} // namespace folimar::app
