#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

namespace folimar::import {
struct ImportProgress;
}

namespace folimar::bookwindow {

// The small window that shows an import's progress ("Importing page 12 of 300", its pace
// and the time left) with Cancel. It does not block the other windows: the user reads on
// meanwhile. Cancel, Escape and closing the window all ask to cancel.
class ImportProgressWindow final : public QDialog {
    Q_OBJECT
public:
    explicit ImportProgressWindow(QWidget* parent = nullptr);

    void begin(int total);
    void show(const import::ImportProgress& progress);

    QLabel* lblImportPage = nullptr;
    QLabel* lblImportPace = nullptr;
    QProgressBar* prgImport = nullptr;

Q_SIGNALS:
    void cancelRequested();

protected:
    void reject() override;
};

} // namespace folimar::bookwindow
