#pragma once

#include "reader/ExportWindow.h"
#include "reader/ReaderProfile.h"
#include "speechexport/SpeechExport.h"
#include "store/TopicRecords.h"

#include <functional>

class QRadioButton;

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
class AudioExportWindow final : public ExportWindow {
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

    QRadioButton* optPage = nullptr;

private:
    QList<speechexport::SpokenChapter> chosenChapters(QString* recordingTitle) const;
    void finished(const speechexport::ExportOutcome& outcome);
    void setExporting(bool exporting);

    ReaderProfile profile_;
    Sources sources_;
    platform::Dialogs& dialogs_;
    QString folderSettingsPath_;
    speechexport::AudioExportJob* job_ = nullptr;
    bool placed_ = false; // put in the middle of the screen on its first showing
};

} // namespace folimar::reader
