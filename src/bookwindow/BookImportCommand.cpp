#include "bookwindow/BookImportCommand.h"

#include "bookwindow/ImportProgressWindow.h"
#include "import/BookImport.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/paths/PathNames.h"
#include "reader/ReaderState.h"
#include "recognition/RecognitionSettings.h"
#include "settings/Settings.h"
#include "store/BookStore.h"
#include "topics/TopicNavigation.h"

#include <QTimer>
#include <limits>

namespace folimar::bookwindow {

namespace {
const QString ProgramTitle = QStringLiteral("Folimar");
const QString ImportTitle = QStringLiteral("Import");
} // namespace

BookImportCommand::BookImportCommand(Parts parts, PagesArrived pagesArrived, QObject* parent)
    : QObject(parent), p_(std::move(parts)), pagesArrived_(std::move(pagesArrived)) {
    refresh_ = new QTimer(this);
    refresh_->setSingleShot(true);
    refresh_->setInterval(RefreshMs);
    connect(refresh_, &QTimer::timeout, this, &BookImportCommand::refreshList);
}

BookImportCommand::~BookImportCommand() = default;

bool BookImportCommand::isRunning() const {
    return import_ && import_->isRunning();
}

void BookImportCommand::cancel() {
    if (import_)
        import_->cancel();
}

void BookImportCommand::abandon() {
    if (import_)
        disconnect(import_.get(), nullptr, this, nullptr);
    import_.reset();
    refresh_->stop();
    if (progress_)
        progress_->hide();
}

// The same refusals as for Merge, before any dialog.
bool BookImportCommand::mayStart() {
    if (isRunning()) {
        p_.dialogs.inform(QStringLiteral("An import is running already."), ProgramTitle,
                          platform::MessageIcon::Exclamation);
        return false;
    }
    if (p_.state.TopicDirty) {
        p_.dialogs.inform(QStringLiteral("1st update your topic"), ProgramTitle,
                          platform::MessageIcon::Exclamation);
        return false;
    }
    return p_.store.mayEdit();
}

void BookImportCommand::importFiles() {
    if (!mayStart())
        return;
    const QStringList chosen = p_.dialogs.openFileNames(
        {ImportTitle, p_.lastFolder, QString(),
         QStringLiteral("PDFs and pictures (*.pdf *.jpg *.jpeg *.png *.tif *.tiff *.bmp);;"
                        "All files (*)"),
         true});
    if (chosen.isEmpty())
        return;
    p_.lastFolder = platform::FolderOf(chosen.first());
    importPaths(chosen);
}

void BookImportCommand::importFolder() {
    if (!mayStart())
        return;
    const QString chosen = p_.dialogs.folderName(
        {QStringLiteral("Import a folder of scans"), p_.lastFolder, {}, {}, true});
    if (chosen.isEmpty())
        return;
    p_.lastFolder = chosen;
    importPaths({chosen});
}

void BookImportCommand::importPaths(const QStringList& paths) {
    if (!mayStart())
        return;
    const import::PasswordAsk askPassword = [this](const QString& file, bool wrongBefore) {
        return p_.dialogs.password(import::passwordPrompt(file, wrongBefore), ImportTitle);
    };
    const import::PdfReading reading{p_.pdfHelper};
    import::ImportPlan plan = import::planImport(paths, askPassword, reading);
    import::BookImport::Setup setup = import::BookImport::Setup::forUser(
        p_.settings, recognition::RecognitionSettings::load(p_.recognitionSettingsPath));
    setup.making.pdf = reading;
    const QStringList skipped = plan.skipped;
    import_ = std::make_unique<import::BookImport>(p_.store, std::move(plan), setup);
    connect(import_.get(), &import::BookImport::pageDone, this,
            [this](const import::ImportProgress& progress) {
                if (progress_)
                    progress_->show(progress);
                if (!refresh_->isActive())
                    refresh_->start();
            });
    connect(import_.get(), &import::BookImport::finished, this, &BookImportCommand::ended);

    switch (import_->start()) {
    case import::BookImport::Start::Started:
        break;
    case import::BookImport::Start::NothingToImport:
        p_.dialogs.inform(skipped.isEmpty() ? QStringLiteral("There are no pages to import.")
                                            : QStringLiteral("No pages could be imported: %1.")
                                                  .arg(skipped.join(QStringLiteral(", "))),
                          ImportTitle, platform::MessageIcon::Exclamation);
        import_.reset();
        return;
    case import::BookImport::Start::NumbersWouldOverflow:
        p_.dialogs.inform(QStringLiteral("Can't Import: the topic numbers would pass %1")
                              .arg(std::numeric_limits<qint16>::max()),
                          ProgramTitle, platform::MessageIcon::Exclamation);
        import_.reset();
        return;
    case import::BookImport::Start::BookNotWritable:
        p_.dialogs.inform(QStringLiteral("File opened as Read Only"), ProgramTitle,
                          platform::MessageIcon::Critical);
        import_.reset();
        return;
    }
    if (!progress_) {
        progress_ = new ImportProgressWindow(p_.window);
        connect(progress_, &ImportProgressWindow::cancelRequested, this,
                &BookImportCommand::cancel);
    }
    progress_->begin(import_->pageCount());
}

void BookImportCommand::refreshList() {
    p_.topics.refreshKeepingShown();
    if (pagesArrived_)
        pagesArrived_();
}

void BookImportCommand::ended(const import::ImportSummary& summary) {
    refresh_->stop();
    refreshList();
    if (progress_)
        progress_->hide();
    // The import is let go, and the summary shown, once its signal has returned.
    QTimer::singleShot(0, this, [this, summary] {
        if (!import_)
            return; // abandoned as the program ends
        import_.reset();
        p_.dialogs.inform(summary.text(), ImportTitle,
                          summary.skipped.isEmpty() && summary.failure.isEmpty()
                              ? platform::MessageIcon::Information
                              : platform::MessageIcon::Exclamation);
    });
}

} // namespace folimar::bookwindow
