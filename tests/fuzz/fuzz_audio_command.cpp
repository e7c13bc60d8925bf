// The command line of a save as sound: the input's NUL-parted words after "--audio", for a
// book or a text file. A command that parses names its input and a sound file, and a range
// of topics in order; anything else that starts with "--audio" says what is wrong.
#include "speechexport/AudioCommand.h"
#include "speechexport/SpeechExport.h"

#include <cstdint>

using namespace folimar::speechexport;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const AudioSource source = data[0] % 2 ? AudioSource::Book : AudioSource::TextFile;
    QStringList arguments{QStringLiteral("--audio")};
    for (const QByteArray& word :
         QByteArray(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1)).split('\0'))
        arguments << QString::fromUtf8(word);
    const AudioCommandParse parsed = ParseAudioCommand(arguments, source);
    if (parsed.command.has_value() == !parsed.error.isEmpty())
        __builtin_trap();
    if (const std::optional<AudioCommand>& command = parsed.command) {
        if (!audioFormatOf(command->output))
            __builtin_trap();
        if (command->topics &&
            (source != AudioSource::Book || command->topics->first > command->topics->last))
            __builtin_trap();
    }
    if (ParseAudioCommand(arguments.mid(1), source).command ||
        !ParseAudioCommand(arguments.mid(1), source).error.isEmpty())
        __builtin_trap(); // a start without "--audio" is no export
    return 0;
}
