#pragma once

#include "reader/ReaderProfile.h"
#include "speechexport/SpeechExport.h"
#include "store/TopicRecords.h"

#include <QWidget>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace folimar::platform {
class Dialogs;
}
namespace folimar::speechexport {
class AudioExportJob;
}

namespace folimar::reader {

// "Save as Audio": what to save (Folimar: the current page, the whole book or a range of
// topics; Vocimar: the text), the file asked for through the dialogs, then the export with
// its progress and Cancel. The window stays responsive: the speaking runs on another
// thread, and closing the window cancels it.
class AudioExportWindow final : public QWidget {
    Q_OBJECT
public:
    // Where the words and the voice come from, asked at each save.
    struct Sources {
        std::function<QString()> pageText;               // the reader window's text
        std::function<QString()> pageTitle;              // the current topic's name
        std::function<QList<store::TopicPage>()> topics; // the book's topics; none in Vocimar
        std::function<QString()> bookTitle;              // the open book's name
        std::function<character::VoiceSettings()> voice; // the user's voice
        std::function<bool()> capsAsSmall;
        std::function<sentences::SentenceEnds()> sentenceEnds;
    };

    AudioExportWindow(ReaderProfile profile, Sources sources, platform::Dialogs& dialogs,
                      QString folderSettingsPath, QWidget* parent = nullptr);
    ~AudioExportWindow() override;

    // Shows the window with the book's topic numbers as the range's bounds.
    void open();
    // Asks for the file and starts the export of the chosen part.
    void save();
    bool isExporting() const;

    QRadioButton* optPage = nullptr;
    QRadioButton* optBook = nullptr;
    QRadioButton* optTopics = nullptr;
    QSpinBox* txtFromTopic = nullptr;
    QSpinBox* txtToTopic = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;
    QProgressBar* prgExport = nullptr;
    QLabel* lblStatus = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QList<speechexport::SpokenChapter> chosenChapters(QString* recordingTitle) const;
    void finished(const speechexport::ExportOutcome& outcome);
    void setExporting(bool exporting);

    ReaderProfile profile_;
    Sources sources_;
    platform::Dialogs& dialogs_;
    QString folderSettingsPath_;
    speechexport::AudioExportJob* job_ = nullptr;
    QString savingPath_;
    bool hasTopics_ = false; // the book had topics when the window was last opened
    bool placed_ = false;    // put in the middle of the screen on its first showing
};

} // namespace folimar::reader
