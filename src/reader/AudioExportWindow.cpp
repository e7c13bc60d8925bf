#include "reader/AudioExportWindow.h"

#include "platform/dialogs/Dialogs.h"
#include "reader/CentredWindow.h"
#include "settings/AudioExportFolder.h"
#include "speechexport/AudioExportJob.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSpinBox>
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
    : QWidget(parent, Qt::Window), profile_(profile), sources_(std::move(sources)),
      dialogs_(dialogs), folderSettingsPath_(std::move(folderSettingsPath)),
      job_(new speechexport::AudioExportJob(this)) {
    setObjectName(QStringLiteral("frmSaveAudio"));
    setWindowTitle(Caption);
    auto* column = new QVBoxLayout(this);
    if (profile_ == ReaderProfile::Folimar) {
        optPage = new QRadioButton(QStringLiteral("The current &page"), this);
        optBook = new QRadioButton(QStringLiteral("The whole &book, a chapter per topic"), this);
        optTopics = new QRadioButton(QStringLiteral("&Topics from"), this);
        optPage->setObjectName(QStringLiteral("optPage"));
        optBook->setObjectName(QStringLiteral("optBook"));
        optTopics->setObjectName(QStringLiteral("optTopics"));
        txtFromTopic = new QSpinBox(this);
        txtToTopic = new QSpinBox(this);
        txtFromTopic->setObjectName(QStringLiteral("txtFromTopic"));
        txtToTopic->setObjectName(QStringLiteral("txtToTopic"));
        txtFromTopic->setAccessibleName(QStringLiteral("First topic"));
        txtToTopic->setAccessibleName(QStringLiteral("Last topic"));
        optPage->setChecked(true);
        column->addWidget(optPage);
        column->addWidget(optBook);
        auto* range = new QHBoxLayout;
        range->addWidget(optTopics);
        range->addWidget(txtFromTopic);
        range->addWidget(new QLabel(QStringLiteral("to"), this));
        range->addWidget(txtToTopic);
        range->addStretch();
        column->addLayout(range);
        // Touching a bound means the range is wanted.
        for (QSpinBox* bound : {txtFromTopic, txtToTopic})
            connect(bound, &QSpinBox::valueChanged, optTopics,
                    [this] { optTopics->setChecked(true); });
    } else {
        column->addWidget(new QLabel(QStringLiteral("The text in the reader window"), this));
    }
    prgExport = new QProgressBar(this);
    prgExport->setObjectName(QStringLiteral("prgExport"));
    prgExport->setRange(0, 1000);
    prgExport->setTextVisible(false);
    column->addWidget(prgExport);
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    column->addWidget(lblStatus);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdSave = new QPushButton(QStringLiteral("&Save…"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdSave->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("&Close"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);
    column->addLayout(buttons);

    // Escape cancels an export under way, or closes the window.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, cmdCancel, &QPushButton::click);
    connect(cmdSave, &QPushButton::clicked, this, &AudioExportWindow::save);
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        if (job_->isRunning())
            job_->cancel();
        else
            close();
    });
    connect(job_, &speechexport::AudioExportJob::progressed, prgExport, &QProgressBar::setValue);
    connect(job_, &speechexport::AudioExportJob::finished, this, &AudioExportWindow::finished);
}

AudioExportWindow::~AudioExportWindow() = default;

bool AudioExportWindow::isExporting() const {
    return job_->isRunning();
}

void AudioExportWindow::open() {
    if (profile_ == ReaderProfile::Folimar && !job_->isRunning()) {
        const QList<store::TopicPage> topics = sources_.topics();
        const int lowest = topics.isEmpty() ? 0 : topics.first().TopicNo;
        const int highest = topics.isEmpty() ? 0 : topics.last().TopicNo;
        for (QSpinBox* bound : {txtFromTopic, txtToTopic}) {
            const QSignalBlocker quiet(bound);
            bound->setRange(lowest, highest);
        }
        {
            const QSignalBlocker quiet(txtFromTopic);
            txtFromTopic->setValue(lowest);
        }
        const QSignalBlocker quiet(txtToTopic);
        txtToTopic->setValue(highest);
        hasTopics_ = !topics.isEmpty();
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
    const int from = std::min(txtFromTopic->value(), txtToTopic->value());
    const int to = std::max(txtFromTopic->value(), txtToTopic->value());
    QList<speechexport::SpokenChapter> chapters;
    for (const store::TopicPage& topic : sources_.topics()) {
        if (optBook->isChecked() || (topic.TopicNo >= from && topic.TopicNo <= to))
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
    savingPath_ = request.outputPath;
    prgExport->setValue(0);
    lblStatus->setText(QStringLiteral("Saving %1…").arg(QFileInfo(savingPath_).fileName()));
    setExporting(true);
    job_->start(std::move(request));
}

void AudioExportWindow::setExporting(bool exporting) {
    cmdSave->setEnabled(!exporting);
    cmdCancel->setText(exporting ? QStringLiteral("&Cancel") : QStringLiteral("&Close"));
    if (profile_ != ReaderProfile::Folimar)
        return;
    optPage->setEnabled(!exporting);
    // The book's choices need topics to choose from.
    for (QWidget* choice : {static_cast<QWidget*>(optBook), static_cast<QWidget*>(optTopics),
                            static_cast<QWidget*>(txtFromTopic), static_cast<QWidget*>(txtToTopic)})
        choice->setEnabled(!exporting && hasTopics_);
}

void AudioExportWindow::finished(const speechexport::ExportOutcome& outcome) {
    setExporting(false);
    const QString name = QFileInfo(savingPath_).fileName();
    switch (outcome.status) {
    case speechexport::ExportOutcome::Status::Saved:
        prgExport->setValue(prgExport->maximum());
        lblStatus->setText(QStringLiteral("Saved as %1.").arg(name));
        break;
    case speechexport::ExportOutcome::Status::Cancelled:
        prgExport->setValue(0);
        lblStatus->setText(QStringLiteral("Cancelled: %1 was not saved.").arg(name));
        break;
    case speechexport::ExportOutcome::Status::Failed:
        prgExport->setValue(0);
        lblStatus->setText(QStringLiteral("%1 was not saved.").arg(name));
        dialogs_.inform(outcome.message, Caption, platform::MessageIcon::Critical);
        break;
    }
}

void AudioExportWindow::closeEvent(QCloseEvent* event) {
    job_->cancel(); // nothing half-saved is left behind
    QWidget::closeEvent(event);
}

} // namespace folimar::reader
