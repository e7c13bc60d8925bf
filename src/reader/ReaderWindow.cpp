#include "reader/ReaderWindow.h"

#include "platform/paths/PathNames.h"
#include "reader/SavedGeometry.h"
#include "reader/WindowArrangement.h"
#include "settings/Settings.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>
#include <QTextEdit>

namespace folimar::reader {

ReaderWindow::ReaderWindow(settings::Settings& settings, Hooks hooks, QWidget* parent)
    : QMainWindow(parent), settings_(settings), hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("Form1"));
    Text1 = new QTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setCentralWidget(Text1);
}

void ReaderWindow::placeAtLoad() {
    const SavedGeometry saved{settings_.ReaderLeft, settings_.ReaderTop, settings_.ReaderWidth,
                              settings_.ReaderHeight, settings_.ReaderWindowState};
    if (!saved.restore(*this)) {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        setGeometry(ArrangeWindows(settings_.WindowArrangement, screen).reader);
    }
}

void ReaderWindow::rememberGeometry() {
    const SavedGeometry now = SavedGeometry::of(*this);
    settings_.ReaderLeft = now.left;
    settings_.ReaderTop = now.top;
    settings_.ReaderWidth = now.width;
    settings_.ReaderHeight = now.height;
    settings_.ReaderWindowState = now.state;
}

void ReaderWindow::setBookCaption(const QString& bookPath) {
    setWindowTitle(platform::FileNameOf(bookPath));
}

void ReaderWindow::closeEvent(QCloseEvent* event) {
    rememberGeometry();
    if (hooks_.closeRequested && !hooks_.closeRequested())
        event->ignore();
    else
        event->accept();
}

} // namespace folimar::reader
