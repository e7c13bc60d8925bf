#pragma once

#include "tray/TrayState.h"

#include <QObject>
#include <functional>
#include <memory>

class QAction;
class QMenu;
class QMimeData;

namespace folimar::platform {
struct ProgramLocations;
}
namespace folimar::settings {
struct Settings;
}
namespace folimar::reader {
class CharacterHost;
class ReaderWindow;
class SentenceReader;
struct ReaderState;
} // namespace folimar::reader

namespace folimar::tray {

// Vocimar's own behaviour around the reading engine: the tray icon's menu (`mnuTaskIcon`),
// Paste and Play, showing the reader window from the tray and handing it back when it is
// closed, and the one shutdown step. The tray icon itself is a thin adapter over this
// class, so a test drives it without a tray.
class TrayReader final : public QObject {
    Q_OBJECT
public:
    struct Parts {
        settings::Settings& settings;
        const platform::ProgramLocations& locations;
        reader::ReaderState& state;
        reader::SentenceReader& reader;
        reader::CharacterHost& host;
        reader::ReaderWindow& window;
    };
    // Calls to windows this class does not own; an empty hook does nothing.
    struct Hooks {
        std::function<void()> showAbout;
    };

    TrayReader(Parts parts, Hooks hooks, QObject* parent = nullptr);
    ~TrayReader() override;

    TrayState& trayState() { return tray_; }

    // The tray icon's menu, in its order: Return, a separator, Quit, About, the hidden Show,
    // Paste and Play.
    QMenu* mnuTaskIcon = nullptr;
    QAction* mnuReturn = nullptr;
    QAction* mnu3 = nullptr;
    QAction* mnuQuitAccess = nullptr;
    QAction* mnuAbout = nullptr;
    QAction* mnuShow = nullptr;
    QAction* mnuPaste_Play = nullptr;

    // A left click on the tray icon: the window as it last was, and reading resumed when
    // it was going on.
    void iconClicked();
    void showFromTray();
    // Reads what the clipboard holds (rich text kept formatted) from its top.
    void PasteAndPlay(const QMimeData* clipboard);
    // The reader window's close box: shown from the tray, it goes back there and reading
    // stops; otherwise the program ends. The settings are written either way.
    void closeReaderWindow();
    // No tray on this desktop: the window stays shown, and closing it ends the program.
    void showWithoutTray();
    void setResumeOnShow(bool resume) { tray_.ResumeOnShow = resume; }

    // Writes the settings, hides the character and ends (once, from the event loop).
    void requestQuit();
    bool saveSettings() const;

Q_SIGNALS:
    // The settings are written; the event loop may end.
    void finished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* addItem(const char* name, const QString& caption, std::function<void()> action);
    void fillText(const QMimeData* clipboard);
    void showReaderWindow();
    void rememberWindowState();
    void shutdownStep();

    Parts parts_;
    Hooks hooks_;
    TrayState tray_;
    std::unique_ptr<QMenu> menu_;
    bool quitQueued_ = false;
};

} // namespace folimar::tray
