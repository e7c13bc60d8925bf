#include "bookwindow/BookExportWindow.h"

#include "bookexport/BookExportJob.h"
#include "bookexport/ExportedBook.h"
#include "platform/dialogs/Dialogs.h"
#include "reader/CentredWindow.h"
#include "store/BookStore.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSpinBox>
#include <QVBoxLayout>

namespace folimar::bookwindow {

BookExportWindow::BookExportWindow(bookexport::BookFormat format, store::BookStore& store,
                                   platform::Dialogs& dialogs,
                                   std::function<bookexport::ReadAlongChoices()> choices,
                                   QWidget* parent)
    : QWidget(parent, Qt::Window), format_(format), store_(store), dialogs_(dialogs),
      choices_(std::move(choices)), job_(new bookexport::BookExportJob(this)) {
    setObjectName(QStringLiteral("frmExportBook"));
    setWindowTitle(bookexport::bookFormatName(format));
    auto* column = new QVBoxLayout(this);
    optBook = new QRadioButton(QStringLiteral("The whole &book"), this);
    optTopics = new QRadioButton(QStringLiteral("&Topics from"), this);
    optBook->setObjectName(QStringLiteral("optBook"));
    optTopics->setObjectName(QStringLiteral("optTopics"));
    txtFromTopic = new QSpinBox(this);
    txtToTopic = new QSpinBox(this);
    txtFromTopic->setObjectName(QStringLiteral("txtFromTopic"));
    txtToTopic->setObjectName(QStringLiteral("txtToTopic"));
    txtFromTopic->setAccessibleName(QStringLiteral("First topic"));
    txtToTopic->setAccessibleName(QStringLiteral("Last topic"));
    optBook->setChecked(true);
    column->addWidget(optBook);
    auto* range = new QHBoxLayout;
    range->addWidget(optTopics);
    range->addWidget(txtFromTopic);
    range->addWidget(new QLabel(QStringLiteral("to"), this));
    range->addWidget(txtToTopic);
    range->addStretch();
    column->addLayout(range);
    if (format == bookexport::BookFormat::ReadAlongEpub) {
        chkPictures =
            new QCheckBox(QStringLiteral("Show each page's &picture after its text"), this);
        chkPictures->setObjectName(QStringLiteral("chkPictures"));
        column->addWidget(chkPictures);
    }
    // Touching a bound means the range is wanted.
    for (QSpinBox* bound : {txtFromTopic, txtToTopic})
        connect(bound, &QSpinBox::valueChanged, optTopics, [this] { optTopics->setChecked(true); });
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
    connect(cmdSave, &QPushButton::clicked, this, &BookExportWindow::save);
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        if (job_->isRunning())
            job_->cancel();
        else
            close();
    });
    connect(job_, &bookexport::BookExportJob::progressed, prgExport,
            [this](int permille) { prgExport->setValue(permille); });
    connect(job_, &bookexport::BookExportJob::finished, this, &BookExportWindow::finished);
}

BookExportWindow::~BookExportWindow() = default;

bool BookExportWindow::isExporting() const {
    return job_->isRunning();
}

void BookExportWindow::open() {
    if (!job_->isRunning()) {
        const QList<store::TopicEntry> topics = store_.topicList();
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
        lblStatus->setText(hasTopics_ ? QString() : QStringLiteral("The book has no topics."));
        prgExport->setValue(0);
        setExporting(false);
    }
    if (!isVisible()) {
        adjustSize(); // placed at the size it shows with, or its frame is placed off the screen
        reader::placeBeside(*this, *parentWidget());
    }
    show();
    raise();
    activateWindow();
}

void BookExportWindow::save() {
    if (job_->isRunning() || !hasTopics_)
        return;
    std::optional<speechexport::TopicRange> range;
    if (optTopics->isChecked())
        range = speechexport::TopicRange{std::min(txtFromTopic->value(), txtToTopic->value()),
                                         std::max(txtFromTopic->value(), txtToTopic->value())};
    bookexport::ExportedBook book = bookexport::exportedBookTexts(store_, range);
    if (book.topics.isEmpty()) {
        lblStatus->setText(
            QStringLiteral("No topics are numbered %1 to %2.").arg(range->first).arg(range->last));
        return;
    }
    const QString suffix = bookexport::bookFormatSuffix(format_);
    const QString chosen = dialogs_.saveFileName(
        {bookexport::bookFormatName(format_), QFileInfo(store_.OpenedBookPath).absolutePath(),
         (book.title.isEmpty() ? QStringLiteral("book") : book.title) + suffix,
         bookexport::bookFormatFilter(format_), /*confirmOverwrite=*/true});
    if (chosen.isEmpty())
        return;
    savingPath_ = bookexport::bookFormatOf(chosen) == format_ ? chosen : chosen + suffix;
    prgExport->setValue(0);
    lblStatus->setText(QStringLiteral("Saving %1…").arg(QFileInfo(savingPath_).fileName()));
    setExporting(true);
    bookexport::ReadAlongChoices choices = choices_ ? choices_() : bookexport::ReadAlongChoices{};
    choices.pictures = chkPictures && chkPictures->isChecked();
    job_->start(bookexport::exportWork(format_, std::move(book), savingPath_, choices));
}

void BookExportWindow::setExporting(bool exporting) {
    cmdSave->setEnabled(!exporting && hasTopics_);
    cmdCancel->setText(exporting ? QStringLiteral("&Cancel") : QStringLiteral("&Close"));
    for (QWidget* choice : {static_cast<QWidget*>(optBook), static_cast<QWidget*>(optTopics),
                            static_cast<QWidget*>(txtFromTopic), static_cast<QWidget*>(txtToTopic),
                            static_cast<QWidget*>(chkPictures)})
        if (choice)
            choice->setEnabled(!exporting && hasTopics_);
}

void BookExportWindow::finished(const bookexport::BookExportOutcome& outcome) {
    setExporting(false);
    const QString name = QFileInfo(savingPath_).fileName();
    switch (outcome.status) {
    case bookexport::BookExportOutcome::Status::Saved:
        prgExport->setValue(prgExport->maximum());
        lblStatus->setText(QStringLiteral("Saved as %1.").arg(name));
        break;
    case bookexport::BookExportOutcome::Status::Cancelled:
        prgExport->setValue(0);
        lblStatus->setText(QStringLiteral("Cancelled: %1 was not saved.").arg(name));
        break;
    case bookexport::BookExportOutcome::Status::Failed:
        prgExport->setValue(0);
        lblStatus->setText(QStringLiteral("%1 was not saved.").arg(name));
        dialogs_.inform(outcome.message, bookexport::bookFormatName(format_),
                        platform::MessageIcon::Critical);
        break;
    }
}

void BookExportWindow::closeEvent(QCloseEvent* event) {
    job_->cancel(); // nothing half-saved is left behind
    QWidget::closeEvent(event);
}

} // namespace folimar::bookwindow
