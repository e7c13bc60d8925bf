#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace folimar::import {

// Why a file that no picture reader takes is left out of an import, from its first bytes
// and the formats this system reads (QImageReader::supportedImageFormats()): the package
// to install when it is a picture whose reader is missing ("TIFF pictures need the package
// qt6-image-formats-plugins"), else "not a picture".
QString unreadablePictureReason(const QByteArray& head, const QList<QByteArray>& readableFormats);

} // namespace folimar::import
