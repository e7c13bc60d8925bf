// The registry store: any bytes as registry.reg, asked for the values Folimar reads.
#include "platform/registry/RegistryStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("registry.reg"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();
    using namespace folimar::platform;
    ReadRegistryString(path, QLatin1String(LocalMachineRoot), QLatin1String(AppPathsKey),
                       QString());
    ReadRegistryString(path, QLatin1String(LocalMachineRoot), QLatin1String(AppPathsKey),
                       QStringLiteral("Path"));
    return 0;
}
