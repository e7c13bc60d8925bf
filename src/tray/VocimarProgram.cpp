#include "tray/VocimarProgram.h"

#include "platform/dialogs/Dialogs.h"
#include "platform/paths/InstalledFiles.h"
#include "reader/CharacterHost.h"
#include "reader/FindWindow.h"
#include "reader/ReaderProfile.h"
#include "reader/ReaderWindow.h"
#include "reader/ReadingKeys.h"
#include "reader/SentenceReader.h"
#include "reader/TextEditBox.h"
#include "reader/TextFinder.h"
#include "settings/AudioExportFolder.h"
#include "settings/VocimarSettingsFile.h"
#include "tray/ProgramIcon.h"
#include "tray/TrayIcon.h"
#include "tray/TrayReader.h"

#include <QScreen>
#include <QTimer>

namespace folimar::tray {

namespace {

const QString ProgramName = reader::programName(reader::ReaderProfile::Vocimar);

} // namespace

VocimarProgram::VocimarProgram(Seams seams, Options options, QObject* parent)
    : QObject(parent), seams_(seams), options_(std::move(options)) {
    connect(&termination_, &platform::TerminationSignals::terminationRequested, this,
            &VocimarProgram::requestQuit);
}

VocimarProgram::~VocimarProgram() = default;

void VocimarProgram::StartProgram() {
    locations_ = platform::LocateProgram(options_.registryStorePath);
    settings::LoadVocimarSettings(settings_, locations_);
    // A character that never stood anywhere yet stands beside the reader window.
    settings_.AgentStartPos = settings_.AgentLeft < 1 ? 0 : 1;

    createEngine();
    createWindow();
    createFindWindow();
    host_->ensureLoaded(); // a failure shows as the notice when reading starts
    createTray();
}

void VocimarProgram::createEngine() {
    host_ = std::make_unique<reader::CharacterHost>(state_, settings_, seams_.characters,
                                                    seams_.dialogs);
    host_->setProgramTitle(ProgramName);
    reader_ = std::make_unique<reader::SentenceReader>(state_, settings_, *host_, seams_.dialogs,
                                                       seams_.clock);
    reader_->setCharacterMissingNotice([this] { showCharacterMissingNotice(); });
}

void VocimarProgram::createWindow() {
    reader::ReaderWindow::Hooks hooks;
    hooks.quitRequested = [this] { requestQuit(); };
    hooks.showAbout = [this] { showAbout(); };
    hooks.findInDoc = [this] { findAction(&FindActions::findInDoc); };
    hooks.setResumeOnShow = [this](bool resume) { tray_->setResumeOnShow(resume); };
    hooks.closeToTray = [this] { tray_->closeReaderWindow(); };
    window_ = std::make_unique<reader::ReaderWindow>(
        reader::ReaderProfile::Vocimar,
        reader::ReaderWindow::Parts{settings_, state_, *reader_, *host_, seams_.dialogs},
        reader::ReaderWindow::Files{{},
                                    platform::InstalledFiles(options_.executableFolder)
                                        .dataFile(QStringLiteral("characters")),
                                    {},
                                    settings::AudioExportFolder::defaultPath()},
        std::move(hooks));
    window_->setWindowIcon(programIcon(options_.executableFolder));
    window_->placeAtLoad();

    host_->setAnchorWindow([window = QPointer<QWidget>(window_.get())] {
        reader::AnchorFrame frame;
        if (!window)
            return frame;
        frame.geometry = window->frameGeometry();
        if (const QScreen* screen = window->screen()) {
            frame.logicalDpi = screen->logicalDotsPerInch();
            frame.screenArea = screen->availableGeometry();
        }
        return frame;
    });

    reader::ReadingKeys::Actions keys;
    keys.findOnPage = [this] { findAction(&FindActions::findOnPage); };
    keys.findNext = [this] { findAction(&FindActions::findNext); };
    keys_ = std::make_unique<reader::ReadingKeys>(reader::ReaderProfile::Vocimar, *reader_,
                                                  std::move(keys));
    keys_->watch(window_.get());
}

// Without a book every search is a search of the reader text; the scope only names the
// window's caption.
void VocimarProgram::createFindWindow() {
    finder_ = std::make_unique<reader::TextFinder>(
        reader::TextFinder::Parts{settings_, state_, *reader_, *host_, seams_.dialogs,
                                  window_->textBox()},
        reader::TextFinder::Hooks{{}, {}, {}, [this] { window_->activateWindow(); }});
    findWindow_ =
        std::make_unique<reader::FindWindow>(*finder_, settings_, reader::FindWindow::Hooks{});
    const auto openFind = [this](bool findOnPage) {
        QString seed;
        if (findOnPage && !host_->characterVisible())
            seed = window_->textBox().selectedText();
        findWindow_->open(findOnPage, seed);
    };
    setFindActions({[openFind] { openFind(false); }, [openFind] { openFind(true); },
                    [this] { finder_->FindNext(); }});
}

void VocimarProgram::createTray() {
    tray_ = std::make_unique<TrayReader>(
        TrayReader::Parts{settings_, locations_, state_, *reader_, *host_, *window_},
        TrayReader::Hooks{[this] { showAbout(); }});
    connect(tray_.get(), &TrayReader::finished, this, &VocimarProgram::finished);
    if (options_.trayAvailable && options_.trayAvailable()) {
        icon_ = std::make_unique<TrayIcon>(*tray_, programIcon(options_.executableFolder));
        return;
    }
    // Running invisibly would leave the user nothing to click. The box waits for the event
    // loop, so that an end asked for while it shows still ends the program.
    tray_->showWithoutTray();
    QTimer::singleShot(0, this, [this] {
        seams_.dialogs.inform(QStringLiteral("This desktop has no system tray, so Vocimar shows "
                                             "its window instead. Closing the window ends "
                                             "Vocimar."),
                              ProgramName, platform::MessageIcon::Information);
    });
}

void VocimarProgram::findAction(const std::function<void()> FindActions::*action) const {
    if (const std::function<void()>& call = find_.*action)
        call();
}

void VocimarProgram::requestQuit() {
    if (tray_)
        tray_->requestQuit();
    else
        Q_EMIT finished();
}

void VocimarProgram::showAbout() {
    if (!about_)
        about_ = new infowindows::AboutWindow(ProgramName, window_.get());
    about_->show(); // no books here: the owner box stays empty
    about_->raise();
    about_->activateWindow();
}

void VocimarProgram::showCharacterMissingNotice() {
    if (!notice_)
        notice_ = new infowindows::CharacterMissingNotice(window_.get());
    notice_->show();
    notice_->raise();
    notice_->activateWindow();
}

} // namespace folimar::tray
