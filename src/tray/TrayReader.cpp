#include "tray/TrayReader.h"

#include "reader/CharacterHost.h"
#include "reader/ReaderState.h"
#include "reader/ReaderWindow.h"
#include "reader/SentenceReader.h"
#include "settings/VocimarSettingsFile.h"

#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

namespace folimar::tray {

namespace {

constexpr qint16 NormalState = 0;
constexpr qint16 MaximisedState = 2;

} // namespace

TrayReader::TrayReader(Parts parts, Hooks hooks, QObject* parent)
    : QObject(parent), parts_(parts), hooks_(std::move(hooks)),
      menu_(std::make_unique<QMenu>(QStringLiteral("TaskIcon"))) {
    mnuTaskIcon = menu_.get();
    mnuTaskIcon->setObjectName(QStringLiteral("mnuTaskIcon"));
    mnuReturn = addItem("mnuReturn", QStringLiteral("Return"), nullptr);
    mnu3 = mnuTaskIcon->addSeparator();
    mnu3->setObjectName(QStringLiteral("mnu3"));
    mnuQuitAccess = addItem("mnuQuitAccess", QStringLiteral("Quit"), [this] { requestQuit(); });
    mnuAbout = addItem("mnuAbout", QStringLiteral("About"), [this] {
        if (hooks_.showAbout)
            hooks_.showAbout();
    });
    mnuShow = addItem("mnuShow", QStringLiteral("&Show"), [this] { showFromTray(); });
    mnuShow->setVisible(false);
    mnuPaste_Play = addItem("mnuPaste_Play", QStringLiteral("&Paste and Play"),
                            [this] { PasteAndPlay(QGuiApplication::clipboard()->mimeData()); });

    parts_.window.installEventFilter(this);
}

TrayReader::~TrayReader() = default;

QAction* TrayReader::addItem(const char* name, const QString& caption,
                             std::function<void()> action) {
    QAction* item = mnuTaskIcon->addAction(caption);
    item->setObjectName(QLatin1String(name));
    if (action)
        connect(item, &QAction::triggered, this, [action = std::move(action)] { action(); });
    return item;
}

void TrayReader::iconClicked() {
    showFromTray();
    if (tray_.ResumeOnShow)
        parts_.reader.PlayReading();
}

void TrayReader::showFromTray() {
    tray_.ShownFromTray = true;
    showReaderWindow();
}

void TrayReader::showWithoutTray() {
    showReaderWindow();
}

void TrayReader::PasteAndPlay(const QMimeData* clipboard) {
    reader::ReaderState& state = parts_.state;
    // A loop that is still reading would go on at its own place in the new text; it is
    // taken to the new text's top instead, like a topic change.
    const bool reading = parts_.reader.isReading() && !state.StopRequested;
    if (reading)
        parts_.reader.changeTopic([this, clipboard] { fillText(clipboard); });
    else
        fillText(clipboard);

    tray_.ShownFromTray = true;
    showReaderWindow();
    tray_.ResumeOnShow = true;
    if (reading)
        return;
    parts_.settings.ReadPos = 0;
    state.JumpPending = false;
    state.UserMoved = false;
    parts_.reader.PlayReading();
}

void TrayReader::fillText(const QMimeData* clipboard) {
    QTextEdit& text = *parts_.window.Text1;
    text.clear();
    parts_.window.pasteWholeText(clipboard);
    // The last sentence ends with a full stop, typed at the end of the text.
    QTextCursor end(text.document());
    end.movePosition(QTextCursor::End);
    end.insertText(QStringLiteral("."));
    text.setTextCursor(end);
}

void TrayReader::showReaderWindow() {
    QWidget& window = parts_.window;
    window.show();
    Qt::WindowStates state =
        window.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
    if (tray_.ReaderWindowState == MaximisedState)
        state |= Qt::WindowMaximized;
    window.setWindowState(state);
    window.raise();
    window.activateWindow();
}

void TrayReader::closeReaderWindow() {
    const bool backToTray = tray_.ShownFromTray;
    if (backToTray) {
        tray_.ShownFromTray = false;
        parts_.window.hide();
        // ResumeOnShow stays: a left click on the icon reads on from here.
        parts_.reader.StopReading();
    }
    saveSettings();
    if (!backToTray)
        requestQuit();
}

bool TrayReader::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &parts_.window &&
        (event->type() == QEvent::WindowStateChange || event->type() == QEvent::Resize))
        rememberWindowState();
    return QObject::eventFilter(watched, event);
}

void TrayReader::rememberWindowState() {
    const Qt::WindowStates state = parts_.window.windowState();
    if (state & Qt::WindowMinimized)
        return;
    tray_.ReaderWindowState = (state & Qt::WindowMaximized) ? MaximisedState : NormalState;
}

bool TrayReader::saveSettings() const {
    return settings::SaveVocimarSettings(parts_.settings, parts_.locations);
}

void TrayReader::requestQuit() {
    parts_.state.QuitRequested = true;
    if (quitQueued_)
        return;
    quitQueued_ = true;
    QTimer::singleShot(0, this, &TrayReader::shutdownStep);
}

void TrayReader::shutdownStep() {
    saveSettings();
    if (auto* character = parts_.host.character())
        character->hide();
    parts_.window.hide();
    Q_EMIT finished();
}

} // namespace folimar::tray
