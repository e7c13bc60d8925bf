#include "platform/commandline/ApplicationArgv.h"

#include <QFile>

namespace folimar::platform {

QStringList ArgumentsOf(int argc, const char* const* argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QFile::decodeName(argv[i]);
    return arguments;
}

ApplicationArgv::ApplicationArgv(const char* programName, const QStringList& qtArguments) {
    words_ << QByteArray(programName);
    for (const QString& argument : qtArguments)
        words_ << QFile::encodeName(argument);
    for (QByteArray& word : words_)
        pointers_.push_back(word.data());
    argc_ = static_cast<int>(words_.size());
    pointers_.push_back(nullptr);
}

} // namespace folimar::platform
