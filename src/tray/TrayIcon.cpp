#include "tray/TrayIcon.h"

#include "tray/TrayReader.h"

namespace folimar::tray {

TrayIcon::TrayIcon(TrayReader& tray, const QIcon& icon, QObject* parent)
    : QObject(parent), tray_(tray), icon_(icon) {
    icon_.setObjectName(QStringLiteral("cSysTray1"));
    icon_.setToolTip(QStringLiteral("Vocimar"));
    // The tray shows the menu at the mouse itself; trays that export menus need it set.
    icon_.setContextMenu(tray_.mnuTaskIcon);
    connect(&icon_, &QSystemTrayIcon::activated, this, &TrayIcon::activated);
    icon_.show();
}

void TrayIcon::activated(QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger)
        tray_.iconClicked();
}

} // namespace folimar::tray
