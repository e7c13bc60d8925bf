#pragma once

#include "platform/dialogs/Dialogs.h"

#include <cstdio>

namespace folimar::platform {

// The dialogs of a run without windows: messages are written to the terminal (and
// answered OK), file dialogs are cancelled, and a password is read from the terminal
// without showing it. The password question is given up as soon as `interruption` (a
// descriptor, -1 for none) becomes readable, such as when a termination signal comes.
class TerminalDialogs final : public Dialogs {
public:
    explicit TerminalDialogs(std::FILE* input = stdin, std::FILE* output = stderr,
                             int interruption = -1)
        : input_(input), output_(output), interruption_(interruption) {}
    MessageAnswer message(const MessageRequest& request) override;
    QString openFileName(const FileDialogRequest&) override { return {}; }
    QString saveFileName(const FileDialogRequest&) override { return {}; }
    QStringList openFileNames(const FileDialogRequest&) override { return {}; }
    QString folderName(const FileDialogRequest&) override { return {}; }
    QString password(const QString& prompt, const QString& title) override;
    void beep() override {}

private:
    std::FILE* input_;
    std::FILE* output_;
    int interruption_;
};

} // namespace folimar::platform
