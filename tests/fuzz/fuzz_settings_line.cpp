// The settings line of Folimar.ini: any bytes read as far as they go, then written back.
#include "settings/SettingsFile.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    folimar::settings::Settings settings;
    const QByteArray line(reinterpret_cast<const char*>(data), qsizetype(size));
    folimar::settings::ReadFolimarSettingsLine(line, settings);
    folimar::settings::ReadFolimarSettingsLine(folimar::settings::FolimarSettingsLine(settings),
                                               settings);
    return 0;
}
