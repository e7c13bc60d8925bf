#include "tray/ProgramIcon.h"

#include <QDir>
#include <QFileInfo>

namespace folimar::tray {

QString programIconFile(const QString& executableFolder) {
    const QStringList candidates{
        executableFolder + QLatin1String("/icons/vocimar.svg"),
        QDir::cleanPath(executableFolder +
                        QLatin1String("/../share/icons/hicolor/scalable/apps/vocimar.svg")),
    };
    for (const QString& file : candidates)
        if (QFileInfo::exists(file))
            return file;
    return {};
}

QIcon programIcon(const QString& executableFolder) {
    const QString file = programIconFile(executableFolder);
    return file.isEmpty() ? QIcon::fromTheme(QStringLiteral("vocimar")) : QIcon(file);
}

} // namespace folimar::tray
