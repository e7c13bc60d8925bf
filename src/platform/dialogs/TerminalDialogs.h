#pragma once

#include "platform/dialogs/Dialogs.h"

#include <cstdio>

namespace folimar::platform {

// The dialogs of a run without windows: messages are written to the terminal (and
// answered OK), file dialogs are cancelled, and a password is read from the terminal
// without showing it.
class TerminalDialogs final : public Dialogs {
public:
    explicit TerminalDialogs(std::FILE* input = stdin, std::FILE* output = stderr)
        : input_(input), output_(output) {}
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
};

} // namespace folimar::platform
