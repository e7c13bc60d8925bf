#pragma once

#include <QObject>
#include <QSystemTrayIcon>

namespace folimar::tray {

class TrayReader;

// The icon in the desktop's tray (`cSysTray1`): tooltip "Vocimar", the tray reader's menu
// on a right click, and a left click handed to the tray reader.
class TrayIcon final : public QObject {
    Q_OBJECT
public:
    TrayIcon(TrayReader& tray, const QIcon& icon, QObject* parent = nullptr);

    QSystemTrayIcon& cSysTray1() { return icon_; }

private:
    void activated(QSystemTrayIcon::ActivationReason reason);

    TrayReader& tray_;
    QSystemTrayIcon icon_;
};

} // namespace folimar::tray
