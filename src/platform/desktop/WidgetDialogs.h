#pragma once

#include "platform/dialogs/Dialogs.h"

class QWidget;

namespace folimar::platform {

// The real dialogs: QMessageBox, QFileDialog, QInputDialog and the desktop's beep.
class WidgetDialogs final : public Dialogs {
public:
    explicit WidgetDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    MessageAnswer message(const MessageRequest& request) override;
    QString openFileName(const FileDialogRequest& request) override;
    QString saveFileName(const FileDialogRequest& request) override;
    QString saveNewFileName(const FileDialogRequest& request, const QString& refusal) override;
    QStringList openFileNames(const FileDialogRequest& request) override;
    QString folderName(const FileDialogRequest& request) override;
    QString password(const QString& prompt, const QString& title) override;
    void beep() override;
    void notify(const MessageRequest& request) override;

private:
    QWidget* parent_;
};

} // namespace folimar::platform
