#pragma once

#include "hvtag/UrlOpener.h"

#include <QDialog>

class QLabel;

namespace folimar::controls {

// The control's About window: product, version, the maker's address as a link and a logo.
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit AboutDialog(UrlOpener opener, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void underlineAddress(bool underline);

    QLabel* lblAddress;
    UrlOpener opener_;
};

} // namespace folimar::controls
