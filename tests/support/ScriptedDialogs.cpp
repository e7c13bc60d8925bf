#include "support/ScriptedDialogs.h"

namespace folimar::testing {

platform::MessageAnswer ScriptedDialogs::message(const platform::MessageRequest& request) {
    messages.append(request);
    return answers.isEmpty() ? platform::MessageAnswer::Ok : answers.dequeue();
}

QString ScriptedDialogs::openFileName(const platform::FileDialogRequest& request) {
    fileRequests.append(request);
    return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
}

QString ScriptedDialogs::saveFileName(const platform::FileDialogRequest& request) {
    fileRequests.append(request);
    return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
}

QStringList ScriptedDialogs::openFileNames(const platform::FileDialogRequest& request) {
    fileRequests.append(request);
    return fileListAnswers.isEmpty() ? QStringList() : fileListAnswers.dequeue();
}

QString ScriptedDialogs::folderName(const platform::FileDialogRequest& request) {
    fileRequests.append(request);
    return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
}

QString ScriptedDialogs::password(const QString& prompt, const QString&) {
    passwordPrompts.append(prompt);
    return passwords.isEmpty() ? QString() : passwords.dequeue();
}

} // namespace folimar::testing
