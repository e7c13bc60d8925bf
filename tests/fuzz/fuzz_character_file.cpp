// Character files: any bytes as an .acs file in a folder with one picture beside it.
#include "FuzzApplication.h"
#include "platform/character/CharacterFileReader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    folimar::fuzz::startGuiApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir folder;
    static const bool ready =
        QDir(folder.path()).mkpath(QStringLiteral("art")) &&
        writeFile(folder.filePath(QStringLiteral("art/a.svg")),
                  "<svg xmlns='http://www.w3.org/2000/svg' width='20' height='20'>"
                  "<rect width='20' height='20' fill='#3a6'/></svg>");
    if (!ready)
        return 0;
    const QString path = folder.filePath(QStringLiteral("Fuzz.acs"));
    if (!writeFile(path, folimar::fuzz::bytesOf(data, size)))
        return 0;
    QString error;
    folimar::character::CharacterFileReader::read(path, &error);
    return 0;
}
