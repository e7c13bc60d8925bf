#pragma once

#include "hvtag/hvtag_export.h"

#include <QString>
#include <QUrl>
#include <functional>

namespace folimar::controls {

// Opens an address with the user's default handler; false when nothing could be started.
// Controls take one so that a test can watch the opening instead of starting a browser.
using UrlOpener = std::function<bool(const QUrl&)>;

HVTAG_EXPORT UrlOpener desktopUrlOpener();

// Reads an address as a user types it: "www.example.org" is a web page, "/home/a.txt" a
// local file, "mailto:x@example.org" keeps its scheme. Empty text gives an invalid URL.
HVTAG_EXPORT QUrl addressToUrl(const QString& address);

} // namespace folimar::controls
