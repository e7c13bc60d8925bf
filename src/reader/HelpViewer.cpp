#include "reader/HelpViewer.h"

#include "platform/dialogs/Dialogs.h"
#include "reader/SavedGeometry.h"
#include "reader/WindowArrangement.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QKeySequence>
#include <QScreen>
#include <QShortcut>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace folimar::reader {

HelpViewer::HelpViewer(platform::Dialogs& dialogs, QString helpFile, QWidget* parent)
    : QWidget(parent, Qt::Window), dialogs_(dialogs), helpFile_(std::move(helpFile)) {
    setObjectName(QStringLiteral("Help_frm"));
    setWindowTitle(QStringLiteral("Folimar Help Topics"));
    Text1 = new QTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    // Read only, yet the caret still moves with the keyboard.
    Text1->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Text1);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        PlaceWindow(*this, CentredOnScreen(screen->geometry(), 0.75, 0.5));

    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

void HelpViewer::open() {
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    show();
    raise();
    activateWindow();
}

void HelpViewer::reload() {
    QFile file(helpFile_);
    QByteArray content;
    if (file.open(QIODevice::ReadOnly))
        content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        // Closing the box activates this window again: that activation must not read (and
        // fail, and report) once more.
        ignoreNextActivation_ = isActiveWindow();
        dialogs_.inform(QStringLiteral("Error %1 : %2\n%3")
                            .arg(int(file.error()))
                            .arg(file.errorString(), QDir::toNativeSeparators(helpFile_)),
                        QStringLiteral("Error"), platform::MessageIcon::Critical);
        return;
    }
    Text1->setPlainText(QString::fromUtf8(content));
    Text1->moveCursor(QTextCursor::Start);
}

bool HelpViewer::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        if (ignoreNextActivation_)
            ignoreNextActivation_ = false;
        else
            reload();
    }
    return QWidget::event(event);
}

} // namespace folimar::reader
