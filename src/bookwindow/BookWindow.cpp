#include "bookwindow/BookWindow.h"

#include "reader/SavedGeometry.h"
#include "reader/WindowArrangement.h"
#include "settings/Settings.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace folimar::bookwindow {

BookWindow::BookWindow(settings::Settings& settings, Hooks hooks, QWidget* parent)
    : QMainWindow(parent), settings_(settings), hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("Form2"));
    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image->setBackgroundRole(QPalette::Base);
    image->setAutoFillBackground(true);
    setCentralWidget(image);
}

void BookWindow::placeAtLoad() {
    const reader::SavedGeometry saved{settings_.BookLeft, settings_.BookTop, settings_.BookWidth,
                              settings_.BookHeight, settings_.BookWindowState};
    if (!saved.restore(*this)) {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        setGeometry(reader::ArrangeWindows(settings_.WindowArrangement, screen).book);
    }
}

void BookWindow::rememberGeometry() {
    const reader::SavedGeometry now = reader::SavedGeometry::of(*this);
    settings_.BookLeft = now.left;
    settings_.BookTop = now.top;
    settings_.BookWidth = now.width;
    settings_.BookHeight = now.height;
    settings_.BookWindowState = now.state;
}

void BookWindow::closeEvent(QCloseEvent* event) {
    rememberGeometry();
    if (hooks_.closeRequested && !hooks_.closeRequested())
        event->ignore();
    else
        event->accept();
}

} // namespace folimar::bookwindow
