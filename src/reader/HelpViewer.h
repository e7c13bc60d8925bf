#pragma once

#include <QWidget>

class QTextEdit;

namespace folimar::platform {
class Dialogs;
}

namespace folimar::reader {

// The help viewer (`Help_frm`): the help file in a read-only text box, read again each
// time the window becomes active, so that a changed file shows at once. A file that cannot
// be read is reported as "Error <QFileDevice::FileError> : <description>" and the text box
// keeps what it showed. Escape closes the viewer.
class HelpViewer final : public QWidget {
    Q_OBJECT
public:
    HelpViewer(platform::Dialogs& dialogs, QString helpFile, QWidget* parent = nullptr);

    void setHelpFile(const QString& path) { helpFile_ = path; }
    // Shows the viewer in its normal state and brings it to the front.
    void open();
    // Reads the help file into the text box, caret at the top.
    void reload();

    QTextEdit* Text1 = nullptr;

protected:
    bool event(QEvent* event) override;

private:
    platform::Dialogs& dialogs_;
    QString helpFile_;
    bool ignoreNextActivation_ = false;
};

} // namespace folimar::reader
