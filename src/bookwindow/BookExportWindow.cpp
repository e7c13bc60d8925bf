#include "bookwindow/BookExportWindow.h"

#include "bookexport/BookExportJob.h"
#include "bookexport/ExportedBook.h"
#include "platform/dialogs/Dialogs.h"
#include "reader/CentredWindow.h"
#include "store/BookStore.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace folimar::bookwindow {

BookExportWindow::BookExportWindow(bookexport::BookFormat format, store::BookStore& store,
                                   platform::Dialogs& dialogs,
                                   std::function<bookexport::ReadAlongChoices()> choices,
                                   QWidget* parent)
    : ExportWindow(parent), format_(format), store_(store), dialogs_(dialogs),
      choices_(std::move(choices)), job_(new bookexport::BookExportJob(this)) {
    setObjectName(QStringLiteral("frmExportBook"));
    setWindowTitle(bookexport::bookFormatName(format));
    auto* column = new QVBoxLayout(this);
    optBook = new QRadioButton(QStringLiteral("The whole &book"), this);
    optBook->setObjectName(QStringLiteral("optBook"));
    optBook->setChecked(true);
    column->addWidget(optBook);
    addTopicRange(*column);
    if (format == bookexport::BookFormat::ReadAlongEpub) {
        chkPictures =
            new QCheckBox(QStringLiteral("Show each page's &picture after its text"), this);
        chkPictures->setObjectName(QStringLiteral("chkPictures"));
        column->addWidget(chkPictures);
    }
    addExportRows(*column, *job_);
    connect(cmdSave, &QPushButton::clicked, this, &BookExportWindow::save);
    connect(job_, &bookexport::BookExportJob::progressed, prgExport,
            [this](int permille) { prgExport->setValue(permille); });
    connect(job_, &bookexport::BookExportJob::finished, this, &BookExportWindow::finished);
}

BookExportWindow::~BookExportWindow() = default;

void BookExportWindow::open() {
    if (!job_->isRunning()) {
        const QList<store::TopicEntry> topics = store_.topicList();
        offerTopics(!topics.isEmpty(), topics.isEmpty() ? 0 : topics.first().TopicNo,
                    topics.isEmpty() ? 0 : topics.last().TopicNo);
        lblStatus->setText(hasTopics() ? QString() : QStringLiteral("The book has no topics."));
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
    if (job_->isRunning() || !hasTopics())
        return;
    std::optional<speechexport::TopicRange> range;
    if (optTopics->isChecked())
        range = chosenTopics();
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
    const QString path = bookexport::bookFormatOf(chosen) == format_ ? chosen : chosen + suffix;
    showSaving(path);
    setExporting(true);
    bookexport::ReadAlongChoices choices = choices_ ? choices_() : bookexport::ReadAlongChoices{};
    choices.pictures = chkPictures && chkPictures->isChecked();
    job_->start(bookexport::exportWork(format_, std::move(book), path, choices));
}

void BookExportWindow::setExporting(bool exporting) {
    showExporting(exporting, hasTopics());
    if (chkPictures)
        chkPictures->setEnabled(!exporting && hasTopics());
}

void BookExportWindow::finished(const bookexport::BookExportOutcome& outcome) {
    setExporting(false);
    showOutcome(outcome, dialogs_, bookexport::bookFormatName(format_));
}

} // namespace folimar::bookwindow
