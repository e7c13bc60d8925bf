#include "platform/dialogs/TerminalDialogs.h"

#include <cerrno>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace folimar::platform {

namespace {

enum class Reading { Line, End, Interrupted };

// Reads a byte at a time past the stdio buffer, so that each wait for the next byte also
// watches `interruption` (a negative descriptor is not watched).
Reading readLine(int input, int interruption, QByteArray& line) {
    pollfd watched[] = {{input, POLLIN, 0}, {interruption, POLLIN, 0}};
    for (;;) {
        if (::poll(watched, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return Reading::End;
        }
        if (watched[1].revents != 0)
            return Reading::Interrupted;
        char c = 0;
        if (::read(input, &c, 1) != 1)
            return Reading::End;
        if (c == '\n')
            return Reading::Line;
        line.append(c);
    }
}

} // namespace

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
    const Reading reading = readLine(descriptor, interruption_, line);
    if (hidden) {
        tcsetattr(descriptor, TCSAFLUSH, &saved);
        std::fprintf(output_, "\n");
    }
    if (reading == Reading::Interrupted || (reading == Reading::End && line.isEmpty()))
        return {}; // given up
    return QString::fromLocal8Bit(line);
}

} // namespace folimar::platform
