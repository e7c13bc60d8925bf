#include "infowindows/InfoLinks.h"

#include <QDir>
#include <QStandardPaths>

namespace folimar::infowindows {

QString userCharactersFolderForDisplay() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                           QLatin1String("/folimar/characters");
    const QString home = QDir::homePath();
    if (home.size() > 1 && folder.startsWith(home + QLatin1Char('/')))
        return QLatin1Char('~') + folder.mid(home.size());
    return folder;
}

} // namespace folimar::infowindows
