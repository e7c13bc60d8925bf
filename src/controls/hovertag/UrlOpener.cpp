#include "hvtag/UrlOpener.h"

#include <QDesktopServices>

namespace folimar::controls {

UrlOpener desktopUrlOpener() {
    return [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

QUrl addressToUrl(const QString& address) {
    const QString trimmed = address.trimmed();
    if (trimmed.isEmpty())
        return {};
    return QUrl::fromUserInput(trimmed);
}

} // namespace folimar::controls
