#pragma once

#include <QString>

namespace folimar::settings {

// The JPEG quality a pasted or imported page is stored at, from the paste quality setting:
// a number 0-100; any other setting gives 75.
constexpr int DefaultPasteQuality = 75;
bool isPasteQuality(const QString& setting);
int pasteQualityOf(const QString& setting);

} // namespace folimar::settings
