#include "reader/AudioExportWindow.h"

#include "platform/dialogs/Dialogs.h"
#include "reader/CentredWindow.h"
#include "settings/AudioExportFolder.h"
#include "speechexport/AudioExportJob.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace folimar::reader {

namespace {

const QString Caption = QStringLiteral("Save as Audio");
const QString Filter = QStringLiteral("Ogg Opus sound (*.opus);;WAV sound (*.wav)");

QString withSoundSuffix(const QString& path) {
    return speechexport::audioFormatOf(path) ? path : path + QStringLiteral(".opus");
}

} // namespace

AudioExportWindow::AudioExportWindow(ReaderProfile profile, Sources sources,
                                     platform::Dialogs& dialogs, QString folderSettingsPath,
                                     QWidget* parent)
    : ExportWindow(parent), profile_(profile), sources_(std::move(sources)), dialogs_(dialogs),
      folderSettingsPath_(std::move(folderSettingsPath)),
      job_(new speechexport::AudioExportJob(this)) {
    setObjectName(QStringLiteral("frmSaveAudio"));
    setWindowTitle(Caption);
    auto* column = new QVBoxLayout(this);
    if (profile_ == ReaderProfile::Folimar) {
        optPage = new QRadioButton(QStringLiteral("The current &page"), this);
        optBook = new QRadioButton(QStringLiteral("The whole &book, a chapter per topic"), this);
        optPage->setObjectName(QStringLiteral("optPage"));
        optBook->setObjectName(QStringLiteral("optBook"));
        optPage->setChecked(true);
        column->addWidget(optPage);
        column->addWidget(optBook);
        addTopicRange(*column);
    } else {
        column->addWidget(new QLabel(QStringLiteral("The text in the reader window"), this));
    }
    addExportRows(*column, *job_);
    connect(cmdSave, &QPushButton::clicked, this, &AudioExportWindow::save);
    connect(job_, &speechexport::AudioExportJob::progressed, prgExport, &QProgressBar::setValue);
    connect(job_, &speechexport::AudioExportJob::finished, this, &AudioExportWindow::finished);
}

AudioExportWindow::~AudioExportWindow() = default;

void AudioExportWindow::open() {
    if (profile_ == ReaderProfile::Folimar && !job_->isRunning()) {
        const QList<store::TopicPage> topics = sources_.topics();
        offerTopics(!topics.isEmpty(), topics.isEmpty() ? 0 : topics.first().TopicNo,
                    topics.isEmpty() ? 0 : topics.last().TopicNo);
        setExporting(false);
    }
    // Placed once, the first time: in the middle of the screen, never at its corner.
    if (!placed_) {
        centreOnOwnersScreen(*this);
        placed_ = true;
    }
    show();
    raise();
    activateWindow();
}

QList<speechexport::SpokenChapter>
AudioExportWindow::chosenChapters(QString* recordingTitle) const {
    const QString book = sources_.bookTitle ? sources_.bookTitle() : QString();
    if (profile_ == ReaderProfile::Vocimar || optPage->isChecked()) {
        const QString page = sources_.pageTitle ? sources_.pageTitle() : QString();
        *recordingTitle = book.isEmpty() ? page : book;
        return {{page, sources_.pageText()}};
    }
    const speechexport::TopicRange range = chosenTopics();
    QList<speechexport::SpokenChapter> chapters;
    for (const store::TopicPage& topic : sources_.topics()) {
        if (optBook->isChecked() || (topic.TopicNo >= range.first && topic.TopicNo <= range.last))
            chapters.append({topic.TopicName, topic.PicText});
    }
    *recordingTitle = book;
    return chapters;
}

void AudioExportWindow::save() {
    if (job_->isRunning())
        return;
    speechexport::ExportRequest request;
    request.chapters = chosenChapters(&request.title);
    QString startFolder = settings::AudioExportFolder::load(folderSettingsPath_);
    if (startFolder.isEmpty() || !QFileInfo(startFolder).isDir())
        startFolder = QDir::homePath();
    // A page is named after its topic, so that page after page saved do not collide.
    QString name = request.title;
    if (profile_ == ReaderProfile::Folimar && optPage->isChecked() && sources_.pageTitle &&
        !sources_.pageTitle().isEmpty())
        name = sources_.pageTitle();
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    const QString suggested =
        (name.isEmpty() ? QStringLiteral("speech") : name) + QStringLiteral(".opus");
    const QString chosen =
        dialogs_.saveFileName({Caption, startFolder, suggested, Filter, /*confirmOverwrite=*/true});
    if (chosen.isEmpty())
        return;
    request.outputPath = withSoundSuffix(chosen);
    settings::AudioExportFolder::save(folderSettingsPath_,
                                      QFileInfo(request.outputPath).absolutePath());
    if (request.title.isEmpty())
        request.title = QFileInfo(request.outputPath).completeBaseName();
    request.voice = sources_.voice ? sources_.voice() : character::VoiceSettings{};
    request.capsAsSmall = sources_.capsAsSmall && sources_.capsAsSmall();
    if (sources_.sentenceEnds)
        request.sentenceEnds = sources_.sentenceEnds();
    showSaving(request.outputPath);
    setExporting(true);
    job_->start(std::move(request));
}

void AudioExportWindow::setExporting(bool exporting) {
    showExporting(exporting, true);
    if (optPage)
        optPage->setEnabled(!exporting);
}

void AudioExportWindow::finished(const speechexport::ExportOutcome& outcome) {
    setExporting(false);
    showOutcome(outcome, dialogs_, Caption);
}

} // namespace folimar::reader
