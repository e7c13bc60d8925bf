#pragma once

#include "hvtag/UrlOpener.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace folimar::controls {
class URLLink;
}

namespace folimar::infowindows {

// The About window (`About`) of both programs, shown modeless: the program's name and
// version, what draws and speaks the character, the open book's owner, and links to the
// program's web page (`URLLink1`) and to its makers (a click on `Label2`). Both open with
// the user's default handler.
class AboutWindow final : public QDialog {
    Q_OBJECT
public:
    explicit AboutWindow(const QString& programName, QWidget* parent = nullptr);

    // "Document Created By:": the open book's owner; empty when it has none (and in the
    // tray reader, which has no books).
    void setDocumentOwner(const QString& owner);
    // How both links open their address (a test watches instead of starting a browser).
    void setUrlOpener(controls::UrlOpener opener);

    QLabel* Label1 = nullptr;       // the program's name and version
    QLabel* lblNotice = nullptr;    // what draws the character and speaks
    QLabel* lblCreatedBy = nullptr; // "Document Created By:"
    QLineEdit* txtOwner = nullptr;
    controls::URLLink* URLLink1 = nullptr;
    QLabel* Label2 = nullptr; // the makers' page
    QPushButton* cmdExit = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    controls::UrlOpener opener_;
};

} // namespace folimar::infowindows
