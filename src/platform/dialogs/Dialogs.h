#pragma once

#include <QString>
#include <QStringList>

namespace folimar::platform {

enum class MessageIcon { None, Critical, Question, Exclamation, Information };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// One modal message box: the quoted text, its title, icon and buttons.
struct MessageRequest {
    QString text;
    QString title;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

// One file dialog. An empty answer means the user cancelled.
struct FileDialogRequest {
    QString title;
    QString startFolder;
    QString fileName;        // proposed name (save dialogs)
    QString filter;          // "Book Files (*.fmr)"
    bool confirmOverwrite = true;
};

// The seam for everything modal that a test cannot click: message boxes, file dialogs
// and the beep. Windows receive it by reference; tests hand in a scripted one that gives
// the next answer and records what was asked.
class Dialogs {
public:
    virtual ~Dialogs();
    virtual MessageAnswer message(const MessageRequest& request) = 0;
    virtual QString openFileName(const FileDialogRequest& request) = 0;
    virtual QString saveFileName(const FileDialogRequest& request) = 0;
    // A save dialog that never offers to replace a file: `refusal` is said (critical icon)
    // when the chosen file exists, and the dialog stays open for another name.
    virtual QString saveNewFileName(const FileDialogRequest& request, const QString& refusal) {
        Q_UNUSED(refusal);
        return saveFileName(request);
    }
    // Several existing files; empty when cancelled.
    virtual QStringList openFileNames(const FileDialogRequest& request) = 0;
    // An existing folder; empty when cancelled.
    virtual QString folderName(const FileDialogRequest& request) = 0;
    // A password typed hidden, after `prompt`; a null string when cancelled.
    virtual QString password(const QString& prompt, const QString& title) = 0;
    virtual void beep() = 0;
    // A notice that holds nothing up: shown without waiting for its OK, so the windows
    // under it go on working.
    virtual void notify(const MessageRequest& request) { message(request); }

    // Shorthand for a box with an OK button only.
    void inform(const QString& text, const QString& title,
                MessageIcon icon = MessageIcon::None);
    // Shorthand for an OK/Cancel confirmation with the exclamation icon; true on OK.
    bool confirm(const QString& text, const QString& title);
};

} // namespace folimar::platform
