#include "import/UnreadablePicture.h"

namespace folimar::import {

namespace {

// Formats whose Qt readers come in a package of their own, told by their first bytes.
struct PluginFormat {
    QByteArray qtName;
    QString shownName;
    bool (*matches)(const QByteArray& head);
};

bool isTiff(const QByteArray& head) {
    return head.startsWith(QByteArrayLiteral("II*\0")) ||
           head.startsWith(QByteArrayLiteral("MM\0*")) ||
           head.startsWith(QByteArrayLiteral("II+\0")) ||
           head.startsWith(QByteArrayLiteral("MM\0+"));
}

bool isWebp(const QByteArray& head) {
    return head.startsWith("RIFF") && head.mid(8, 4) == "WEBP";
}

const PluginFormat PluginFormats[] = {
    {"tiff", QStringLiteral("TIFF"), isTiff},
    {"webp", QStringLiteral("WebP"), isWebp},
};

} // namespace

QString unreadablePictureReason(const QByteArray& head, const QList<QByteArray>& readableFormats) {
    for (const PluginFormat& format : PluginFormats) {
        if (format.matches(head) && !readableFormats.contains(format.qtName))
            return QStringLiteral("%1 pictures need the package qt6-image-formats-plugins")
                .arg(format.shownName);
    }
    return QStringLiteral("not a picture");
}

} // namespace folimar::import
