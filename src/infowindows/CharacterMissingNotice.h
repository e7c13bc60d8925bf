#pragma once

#include "hvtag/UrlOpener.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace folimar::controls {
class URLLink;
}

namespace folimar::infowindows {

// The notice (`MSagent`) both programs show instead of reading when no speaking character
// can be loaded: where characters are looked for, what speech needs, and two links to
// pages with characters. "OK" closes it.
class CharacterMissingNotice final : public QDialog {
    Q_OBJECT
public:
    explicit CharacterMissingNotice(QWidget* parent = nullptr);

    // How the links open their address (a test watches instead of starting a browser).
    void setUrlOpener(const controls::UrlOpener& opener);

    QLabel* Label1 = nullptr; // no character could be loaded
    controls::URLLink* URLLink1 = nullptr;
    QLabel* Label2 = nullptr; // where characters live, what speech needs
    QLabel* Label3 = nullptr; // more characters
    controls::URLLink* URLLink2 = nullptr;
    QLabel* Label4 = nullptr; // check Options
    QPushButton* cmdOK = nullptr;
};

} // namespace folimar::infowindows
