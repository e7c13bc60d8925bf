#include "app/FolimarProgram.h"

#include "bookwindow/BookWindow.h"
#include "bookwindow/PictureState.h"
#include "platform/character/DesktopCharacterService.h"
#include "platform/clock/Clock.h"
#include "platform/paths/CommandArgs.h"
#include "platform/paths/InstalledFiles.h"
#include "platform/process/ProcessLauncher.h"
#include "reader/CharacterHost.h"
#include "reader/ReaderState.h"
#include "reader/ReaderWindow.h"
#include "reader/SentenceReader.h"
#include "settings/SettingsFile.h"
#include "store/BookStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextEdit>
#include <QTimer>

namespace folimar::app {

namespace {

// The reading engine the reader window works with, owned by the program as a child.
class ReadingEngine final : public QObject {
public:
    ReadingEngine(settings::Settings& settings, platform::Dialogs& dialogs, QObject* parent)
        : QObject(parent), host(state, settings, service, dialogs),
          reader(state, settings, host, dialogs, clock) {}

    reader::ReaderState state;
    character::DesktopCharacterService service;
    platform::SteadyClock clock;
    reader::CharacterHost host;
    reader::SentenceReader reader;
};

// What the book window's page pictures work with, owned by the program as a child.
class BookWindowParts final : public QObject {
public:
    explicit BookWindowParts(QObject* parent)
        : QObject(parent), installed(QCoreApplication::applicationDirPath()) {}

    bookwindow::PictureState picture;
    platform::QtProcessLauncher launcher;
    platform::InstalledFiles installed;
};

} // namespace

FolimarProgram::FolimarProgram(Options options, QObject* parent)
    : QObject(parent), options_(std::move(options)) {
    connect(&termination_, &platform::TerminationSignals::terminationRequested, this,
            &FolimarProgram::requestQuit);
}

FolimarProgram::~FolimarProgram() = default;

bool FolimarProgram::StartProgram(const QStringList& arguments) {
    locations_ = platform::LocateProgram(options_.registryStorePath);
    platform::MakeProgramFolders(locations_);
    QFile::remove(locations_.ProgramFolder + QLatin1String("/temp.jpg"));
    settings::LoadSettings(settings_, locations_);

    const QStringList args = platform::GetCommandArgs(arguments);
    const QString arg = args.size() > 1 ? platform::StripArgumentQuotes(args.at(1)) : QString();
    if (!arg.isEmpty()) {
        locations_.LastFolder = QDir::currentPath();
        settings_.TopicIndex = 0;
        settings_.ReadPos = 0;
        settings_.BookPath = QDir::current().absoluteFilePath(arg);
        if (options_.handOverToRunningInstance &&
            options_.handOverToRunningInstance(settings_.BookPath))
            return false;
    }

    store_ = std::make_unique<store::BookStore>(
        settings_, store::StoreLocations{locations_.ProgramFolder, locations_.NotesFolder},
        dialogs_);
    store_->StartStore();

    createWindows();
    showWindowsInArrangementOrder();
    readerWindow_->Text1->clear();
    StartupText = readerWindow_->Text1->toPlainText();
    readerWindow_->activateWindow();
    return true;
}

void FolimarProgram::createWindows() {
    auto* engine = new ReadingEngine(settings_, dialogs_, this);
    const platform::InstalledFiles installed(QCoreApplication::applicationDirPath());
    reader::ReaderWindow::Hooks readerHooks;
    readerHooks.quitRequested = [this] { requestQuit(); };
    readerWindow_ = std::make_unique<reader::ReaderWindow>(
        reader::ReaderProfile::Folimar,
        reader::ReaderWindow::Parts{settings_, engine->state, engine->reader, engine->host,
                                    dialogs_, store_.get()},
        reader::ReaderWindow::Files{installed.dataFile(QStringLiteral("help.dat")),
                                    installed.dataFile(QStringLiteral("characters"))},
        std::move(readerHooks));
    auto* pictures = new BookWindowParts(this);
    bookwindow::BookWindow::Hooks bookHooks;
    bookHooks.quitRequested = [this] { requestQuit(); };
    bookWindow_ = std::make_unique<bookwindow::BookWindow>(
        bookwindow::BookWindow::Services{settings_, engine->state, pictures->picture, *store_,
                                         engine->reader, engine->host, dialogs_,
                                         pictures->launcher, engine->clock, pictures->installed,
                                         locations_.ProgramFolder},
        std::move(bookHooks));
    bookWindow_->setReaderWindow(readerWindow_.get());
    readerWindow_->setPartnerWindow(bookWindow_.get());
    readerWindow_->setBookCaption(settings_.BookPath);
}

void FolimarProgram::showWindowsInArrangementOrder() {
    bookWindow_->placeAtLoad();
    readerWindow_->placeAtLoad();
    if (settings_.WindowArrangement < 1) {
        bookWindow_->show();
        readerWindow_->show();
    } else {
        readerWindow_->show();
        bookWindow_->show();
    }
}

bool FolimarProgram::closeRequested() {
    readerWindow_->rememberGeometry();
    bookWindow_->rememberGeometry();
    requestQuit();
    return false; // the shutdown step closes the windows
}

void FolimarProgram::requestQuit() {
    if (QuitRequested)
        return;
    QuitRequested = true;
    QTimer::singleShot(0, this, &FolimarProgram::shutdownStep);
}

void FolimarProgram::shutdownStep() {
    if (shutDown_)
        return;
    shutDown_ = true;
    if (readerWindow_)
        readerWindow_->rememberGeometry();
    if (bookWindow_)
        bookWindow_->rememberGeometry();
    settings::SaveSettings(settings_, locations_);
    if (store_)
        store_->CloseAndCompactBook();
    if (readerWindow_)
        readerWindow_->hide();
    if (bookWindow_)
        bookWindow_->hide();
    Q_EMIT finished();
}

} // namespace folimar::app
