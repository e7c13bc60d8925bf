#pragma once

#include "infowindows/AboutWindow.h"
#include "infowindows/CharacterMissingNotice.h"
#include "platform/paths/ProgramLocations.h"
#include "platform/termination/TerminationSignals.h"
#include "reader/ReaderState.h"
#include "settings/Settings.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

namespace folimar::character {
class CharacterService;
}
namespace folimar::platform {
class Clock;
class Dialogs;
} // namespace folimar::platform
namespace folimar::reader {
class CharacterHost;
class FindWindow;
class ReaderWindow;
class ReadingKeys;
class SentenceReader;
class TextFinder;
} // namespace folimar::reader

namespace folimar::tray {

class TrayIcon;
class TrayReader;

// Vocimar as a whole: finds Folimar's folder and its "Vocimar.ini" there, owns the reading
// engine, the reader window and the tray, and ends through the tray reader's shutdown step
// however the end was asked for (Quit, the window's close without a tray, SIGTERM).
class VocimarProgram final : public QObject {
    Q_OBJECT
public:
    // The services the program talks to; the real ones in main, scripted ones in tests.
    struct Seams {
        platform::Dialogs& dialogs;
        character::CharacterService& characters;
        platform::Clock& clock;
    };
    struct Options {
        QString registryStorePath;           // the .reg store with Folimar's App Paths value
        QString executableFolder;            // where the program's icon is found
        std::function<bool()> trayAvailable; // does the desktop have a tray?
    };
    // The find window's commands ("&Find", Ctrl+F, Ctrl+G and Ctrl+R); empty ones do nothing.
    struct FindActions {
        std::function<void()> findInDoc;
        std::function<void()> findOnPage;
        std::function<void()> findNext;
    };

    VocimarProgram(Seams seams, Options options, QObject* parent = nullptr);
    ~VocimarProgram() override;

    // Reads the settings, loads the character, the reader window (hidden) and the tray
    // icon; without a tray it says so and shows the reader window instead.
    void StartProgram();
    void requestQuit();
    void setFindActions(FindActions actions) { find_ = std::move(actions); }

    void showAbout();
    void showCharacterMissingNotice();

    settings::Settings& settings() { return settings_; }
    const platform::ProgramLocations& locations() const { return locations_; }
    reader::ReaderState& state() { return state_; }
    reader::SentenceReader& reader() { return *reader_; }
    reader::ReaderWindow& readerWindow() { return *window_; }
    reader::FindWindow& findWindow() { return *findWindow_; }
    TrayReader& trayReader() { return *tray_; }
    TrayIcon* trayIcon() { return icon_.get(); } // none without a tray
    infowindows::AboutWindow* aboutWindow() { return about_; }
    infowindows::CharacterMissingNotice* characterMissingNotice() { return notice_; }

Q_SIGNALS:
    // The settings are written; the event loop may end.
    void finished();

private:
    void createEngine();
    void createWindow();
    void createTray();
    void createFindWindow();
    void findAction(const std::function<void()> FindActions::*action) const;

    Seams seams_;
    Options options_;
    settings::Settings settings_;
    platform::ProgramLocations locations_;
    platform::TerminationSignals termination_;
    reader::ReaderState state_;
    std::unique_ptr<reader::CharacterHost> host_;
    std::unique_ptr<reader::SentenceReader> reader_;
    std::unique_ptr<reader::ReaderWindow> window_;
    std::unique_ptr<reader::TextFinder> finder_;
    std::unique_ptr<reader::FindWindow> findWindow_;
    std::unique_ptr<TrayReader> tray_;
    std::unique_ptr<reader::ReadingKeys> keys_;
    std::unique_ptr<TrayIcon> icon_;
    QPointer<infowindows::AboutWindow> about_;
    QPointer<infowindows::CharacterMissingNotice> notice_;
    FindActions find_;
};

} // namespace folimar::tray
