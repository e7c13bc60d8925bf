#pragma once

#include <QByteArrayList>
#include <QStringList>
#include <vector>

namespace folimar::platform {

// The words after the program name, as the terminal gave them.
QStringList ArgumentsOf(int argc, const char* const* argv);

// The argument vector handed to the application object: the program name and Qt's own
// options only, so Qt never takes a word of a book path for one of its options. It must
// outlive the application object, which keeps references to it.
class ApplicationArgv {
public:
    ApplicationArgv(const char* programName, const QStringList& qtArguments);
    ApplicationArgv(const ApplicationArgv&) = delete;
    ApplicationArgv& operator=(const ApplicationArgv&) = delete;

    int& argc() { return argc_; }
    char** argv() { return pointers_.data(); }

private:
    QByteArrayList words_;
    std::vector<char*> pointers_;
    int argc_ = 0;
};

} // namespace folimar::platform
