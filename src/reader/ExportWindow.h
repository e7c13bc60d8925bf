#pragma once

#include "speechexport/AudioCommand.h"

#include <QWidget>

class QBoxLayout;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace folimar::platform {
class Dialogs;
}
namespace folimar::speechexport {
class ExportJob;
struct JobOutcome;
} // namespace folimar::speechexport

namespace folimar::reader {

// What the export windows share: the whole book or a range of topics to choose, and below
// the choices the progress bar, the status line and the Save and Close buttons. Close
// cancels an export under way instead, and so do Escape and closing the window: nothing
// half-saved is left behind.
class ExportWindow : public QWidget {
    Q_OBJECT
public:
    bool isExporting() const;

    QRadioButton* optBook = nullptr;
    QRadioButton* optTopics = nullptr;
    QSpinBox* txtFromTopic = nullptr;
    QSpinBox* txtToTopic = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;
    QProgressBar* prgExport = nullptr;
    QLabel* lblStatus = nullptr;

protected:
    explicit ExportWindow(QWidget* parent) : QWidget(parent, Qt::Window) {}

    // Adds "&Topics from [first] to [last]" to `column`; touching a bound chooses the range.
    void addTopicRange(QBoxLayout& column);
    // Offers the topics numbered from `lowest` to `highest` as the range, without choosing
    // it; `any` false: the book has none.
    void offerTopics(bool any, int lowest, int highest);
    bool hasTopics() const { return hasTopics_; }
    // The topics from the lower bound to the higher.
    speechexport::TopicRange chosenTopics() const;

    // Adds the progress bar, the status line and the buttons for `job` to `column`.
    void addExportRows(QBoxLayout& column, speechexport::ExportJob& job);
    // Save waits while an export is under way (and while `canSave` is false), and Close
    // becomes Cancel; the book's choices need topics to choose from.
    void showExporting(bool exporting, bool canSave);
    // Shows the export to `path` starting.
    void showSaving(const QString& path);
    // Shows how the export ended; a failure is also told in a message titled `caption`.
    void showOutcome(const speechexport::JobOutcome& outcome, platform::Dialogs& dialogs,
                     const QString& caption);

    void closeEvent(QCloseEvent* event) override;

private:
    speechexport::ExportJob* exportJob_ = nullptr;
    QString savingPath_;
    bool hasTopics_ = false; // the book had topics when the window was last opened
};

} // namespace folimar::reader
