#include "platform/link/InstanceLinkAddress.h"

#include "platform/link/LinkLogging.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace folimar::platform {

namespace {

// Creates `folder` for the current user alone when missing, and takes group and other
// access away from a folder of ours that has it.
bool MakePrivateFolder(const QString& folder) {
    const QByteArray native = QFile::encodeName(folder);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) {
        qCWarning(lcLink, "cannot create %s: %s", native.constData(), strerror(errno));
        return false;
    }
    struct stat info = {};
    if (::lstat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::getuid()) {
        qCWarning(lcLink, "%s is not a folder of this user", native.constData());
        return false;
    }
    if ((info.st_mode & 077) != 0 && ::chmod(native.constData(), 0700) != 0) {
        qCWarning(lcLink, "cannot make %s private: %s", native.constData(), strerror(errno));
        return false;
    }
    return true;
}

} // namespace

bool IsPrivateFolder(const QString& folder) {
    if (folder.isEmpty())
        return false;
    struct stat info = {};
    return ::lstat(QFile::encodeName(folder).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
}

QString InstanceLinkFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) && IsPrivateFolder(runtime))
        return QDir::cleanPath(runtime);
    const QString fallback =
        QDir::tempPath() + QStringLiteral("/folimar-") + QString::number(::getuid());
    return MakePrivateFolder(fallback) ? fallback : QString();
}

QString InstanceLinkPath(const QString& folder) {
    if (folder.isEmpty())
        return {};
    return folder + QLatin1Char('/') + QLatin1String(InstanceLinkSocketName);
}

} // namespace folimar::platform
