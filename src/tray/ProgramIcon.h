#pragma once

#include <QIcon>
#include <QString>

namespace folimar::tray {

// Vocimar's icon: icons/vocimar.svg beside the program in the build tree, the installed
// share/icons/hicolor/scalable/apps/vocimar.svg, or the desktop theme's "vocimar".
QString programIconFile(const QString& executableFolder);
QIcon programIcon(const QString& executableFolder);

} // namespace folimar::tray
