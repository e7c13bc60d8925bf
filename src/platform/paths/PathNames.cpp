#include "platform/paths/PathNames.h"

namespace folimar::platform {

QString FileNameOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? path : path.mid(slash + 1);
}

QString FolderOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash);
}

QString BaseNameOf(const QString& path) {
    const QString name = FileNameOf(path);
    return name.size() < 4 ? name : name.left(name.size() - 4);
}

} // namespace folimar::platform
