#include "app/FolimarProgram.h"

#include "bookwindow/BookWindow.h"
#include "platform/paths/CommandArgs.h"
#include "reader/ReaderWindow.h"
#include "settings/SettingsFile.h"
#include "store/BookStore.h"

#include <QDir>
#include <QFile>
#include <QTextEdit>
#include <QTimer>

namespace folimar::app {

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
    readerWindow_ = std::make_unique<reader::ReaderWindow>(
        settings_, reader::ReaderWindow::Hooks{[this] { return closeRequested(); }});
    bookWindow_ = std::make_unique<bookwindow::BookWindow>(
        settings_, bookwindow::BookWindow::Hooks{[this] { return closeRequested(); }});
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
