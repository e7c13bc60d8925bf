#pragma once

#include "platform/dialogs/Dialogs.h"

#include <QList>
#include <QQueue>

namespace folimar::testing {

// Answers message boxes and file dialogs from a queue filled by the test, and records
// every request. With an empty queue a message is answered OK and a file dialog cancelled.
class ScriptedDialogs final : public platform::Dialogs {
public:
    platform::MessageAnswer message(const platform::MessageRequest& request) override;
    QString openFileName(const platform::FileDialogRequest& request) override;
    QString saveFileName(const platform::FileDialogRequest& request) override;
    QStringList openFileNames(const platform::FileDialogRequest& request) override;
    QString folderName(const platform::FileDialogRequest& request) override;
    // The next of `passwords`; a null string (Cancel) when none is left.
    QString password(const QString& prompt, const QString& title) override;
    void beep() override { ++beeps; }
    // Recorded as a message too, and also among the notices that hold nothing up.
    void notify(const platform::MessageRequest& request) override {
        notices.append(request.text);
        message(request);
    }

    QQueue<platform::MessageAnswer> answers;
    QQueue<QString> fileAnswers;
    QQueue<QStringList> fileListAnswers;
    QQueue<QString> passwords;

    QList<platform::MessageRequest> messages;
    QStringList notices;
    QList<platform::FileDialogRequest> fileRequests;
    QStringList passwordPrompts;
    int beeps = 0;
};

} // namespace folimar::testing
