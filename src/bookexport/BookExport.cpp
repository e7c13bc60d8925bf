#include "bookexport/BookExport.h"

#include <QDir>
#include <QFileInfo>

namespace folimar::bookexport {

QString cannotSaveMessage(const QString& path, const QString& why) {
    const QFileInfo file(path);
    return QStringLiteral("Cannot save \"%1\" in the folder %2: %3")
        .arg(file.fileName(), QDir::toNativeSeparators(file.absolutePath()), why);
}

} // namespace folimar::bookexport
