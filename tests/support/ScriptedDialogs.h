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
    void beep() override { ++beeps; }

    QQueue<platform::MessageAnswer> answers;
    QQueue<QString> fileAnswers;

    QList<platform::MessageRequest> messages;
    QList<platform::FileDialogRequest> fileRequests;
    int beeps = 0;
};

} // namespace folimar::testing
