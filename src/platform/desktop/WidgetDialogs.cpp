#include "platform/desktop/WidgetDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>

namespace folimar::platform {

namespace {

QMessageBox::Icon toQtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Critical: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQtButtons(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::Ok: break;
    }
    return QMessageBox::Ok;
}

MessageAnswer fromQtButton(int button) {
    switch (button) {
    case QMessageBox::Cancel: return MessageAnswer::Cancel;
    case QMessageBox::Yes: return MessageAnswer::Yes;
    case QMessageBox::No: return MessageAnswer::No;
    default: return MessageAnswer::Ok;
    }
}

QString appTitle(const QString& title) {
    // Boxes without a title of their own carry the program's name.
    return title.isEmpty() ? QApplication::applicationName() : title;
}

// A window manager cuts a title that is wider than its box ("First updat... topic"): widen
// a short message's text so the whole title shows, with room for the frame's buttons.
void fitTitle(QMessageBox& box) {
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    if (!label)
        return;
    QFont titleFont = box.font();
    titleFont.setBold(true);
    constexpr int FrameButtons = 110;
    const int wanted = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + FrameButtons;
    const int shortBy = wanted - box.sizeHint().width();
    if (shortBy > 0)
        label->setMinimumWidth(label->sizeHint().width() + shortBy);
}

} // namespace

MessageAnswer WidgetDialogs::message(const MessageRequest& request) {
    QMessageBox box(toQtIcon(request.icon), appTitle(request.title), request.text,
                    toQtButtons(request.buttons), parent_);
    fitTitle(box);
    return fromQtButton(box.exec());
}

QString WidgetDialogs::openFileName(const FileDialogRequest& request) {
    return QFileDialog::getOpenFileName(parent_, request.title, request.startFolder,
                                        request.filter);
}

QString WidgetDialogs::saveFileName(const FileDialogRequest& request) {
    const QString start = request.fileName.isEmpty()
                              ? request.startFolder
                              : request.startFolder + QLatin1Char('/') + request.fileName;
    QFileDialog::Options options;
    if (!request.confirmOverwrite)
        options |= QFileDialog::DontConfirmOverwrite;
    return QFileDialog::getSaveFileName(parent_, request.title, start, request.filter, nullptr,
                                        options);
}

QStringList WidgetDialogs::openFileNames(const FileDialogRequest& request) {
    return QFileDialog::getOpenFileNames(parent_, request.title, request.startFolder,
                                         request.filter);
}

QString WidgetDialogs::folderName(const FileDialogRequest& request) {
    return QFileDialog::getExistingDirectory(parent_, request.title, request.startFolder);
}

QString WidgetDialogs::password(const QString& prompt, const QString& title) {
    bool accepted = false;
    const QString typed = QInputDialog::getText(parent_, appTitle(title), prompt,
                                                QLineEdit::Password, QString(), &accepted);
    return accepted ? typed : QString();
}

void WidgetDialogs::beep() { QApplication::beep(); }

} // namespace folimar::platform
