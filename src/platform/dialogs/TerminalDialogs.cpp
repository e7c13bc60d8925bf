#include "platform/dialogs/TerminalDialogs.h"

#include <termios.h>
#include <unistd.h>

namespace folimar::platform {

MessageAnswer TerminalDialogs::message(const MessageRequest& request) {
    std::fprintf(output_, "%s\n", request.text.toLocal8Bit().constData());
    return request.buttons == MessageButtons::YesNo ||
                   request.buttons == MessageButtons::YesNoCancel
               ? MessageAnswer::No
               : MessageAnswer::Ok;
}

QString TerminalDialogs::password(const QString& prompt, const QString&) {
    std::fprintf(output_, "%s ", prompt.toLocal8Bit().constData());
    std::fflush(output_);
    // Typed without echo when the input is a terminal.
    const int descriptor = fileno(input_);
    termios saved{};
    const bool hidden = isatty(descriptor) && tcgetattr(descriptor, &saved) == 0;
    if (hidden) {
        termios quiet = saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(descriptor, TCSAFLUSH, &quiet);
    }
    QByteArray line;
    int c = 0;
    while ((c = std::fgetc(input_)) != EOF && c != '\n')
        line.append(char(c));
    if (hidden) {
        tcsetattr(descriptor, TCSAFLUSH, &saved);
        std::fprintf(output_, "\n");
    }
    if (c == EOF && line.isEmpty())
        return {}; // no more input: given up
    return QString::fromLocal8Bit(line);
}

} // namespace folimar::platform
