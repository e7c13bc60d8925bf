// The instance link's requests: any bytes, in pieces of the size the first byte says.
#include "platform/link/OpenRequestFrame.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using folimar::platform::OpenRequestReader;
    if (size == 0)
        return 0;
    const size_t piece = size_t(data[0]) + 1;
    OpenRequestReader reader;
    QString path;
    for (size_t at = 1; at < size; at += piece) {
        reader.append(QByteArray(reinterpret_cast<const char*>(data + at),
                                 qsizetype(std::min(piece, size - at))));
        OpenRequestReader::Status status;
        while ((status = reader.next(path)) == OpenRequestReader::Status::Request) {
            if (!path.startsWith(QLatin1Char('/')))
                __builtin_trap(); // only absolute paths are ever handed on
        }
        if (status == OpenRequestReader::Status::Malformed)
            break;
    }
    return 0;
}
