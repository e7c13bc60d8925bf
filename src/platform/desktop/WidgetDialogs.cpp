#include "platform/desktop/WidgetDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
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

// The extension of a filter's first pattern: "opus" for "Ogg Opus sound (*.opus)".
QString suffixOfFilter(const QString& filter) {
    const qsizetype star = filter.indexOf(QLatin1String("*."));
    if (star < 0)
        return QString();
    qsizetype end = star + 2;
    while (end < filter.size() && filter.at(end).isLetterOrNumber())
        ++end;
    return filter.mid(star + 2, end - star - 2);
}

// A save dialog whose answer is the file that will be written: a name typed without an
// extension gets the one of the file type chosen, before the dialog asks about a file of
// that name or refuses it.
class SaveFileDialog final : public QFileDialog {
public:
    SaveFileDialog(QWidget* parent, const FileDialogRequest& request, QString refusal)
        : QFileDialog(parent, request.title, request.startFolder, request.filter),
          refusal_(std::move(refusal)) {
        setAcceptMode(AcceptSave);
        setFileMode(AnyFile);
        // The desktop's own dialog cannot be kept open for another name.
        setOption(DontUseNativeDialog);
        setOption(DontConfirmOverwrite, !request.confirmOverwrite || !refusal_.isEmpty());
        setDefaultSuffix(suffixOfFilter(selectedNameFilter()));
        connect(this, &QFileDialog::filterSelected, this,
                [this](const QString& filter) { setDefaultSuffix(suffixOfFilter(filter)); });
        if (!request.fileName.isEmpty())
            selectFile(request.fileName);
    }

    void accept() override {
        const QString chosen = selectedFiles().value(0);
        if (!refusal_.isEmpty() && QFileInfo(chosen).isFile()) {
            QMessageBox::critical(this, windowTitle(), refusal_);
            return;
        }
        QFileDialog::accept();
    }

private:
    QString refusal_;
};

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
    return saveNewFileName(request, QString());
}

QString WidgetDialogs::saveNewFileName(const FileDialogRequest& request, const QString& refusal) {
    SaveFileDialog dialog(parent_, request, refusal);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
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

void WidgetDialogs::notify(const MessageRequest& request) {
    auto* box = new QMessageBox(toQtIcon(request.icon), appTitle(request.title), request.text,
                                toQtButtons(request.buttons), parent_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    fitTitle(*box);
    box->show();
}

} // namespace folimar::platform
