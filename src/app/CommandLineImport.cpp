#include "app/CommandLineImport.h"

#include "import/BookImport.h"
#include "recognition/RecognitionSettings.h"
#include "settings/SettingsFile.h"
#include "store/BookStore.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>
#include <limits>

namespace folimar::app {

namespace {

void say(std::FILE* stream, const QString& text) {
    std::fprintf(stream, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stream);
}

} // namespace

CommandLineImport::CommandLineImport(QString registryStorePath, QObject* parent)
    : QObject(parent), registryStorePath_(std::move(registryStorePath)),
      dialogs_(stdin, stderr, termination_.pendingDescriptor()) {
    connect(&termination_, &platform::TerminationSignals::terminationRequested, this,
            [this](int signalNumber) {
                interruptedBy_ = signalNumber;
                if (import_)
                    import_->cancel();
            });
}

CommandLineImport::~CommandLineImport() = default;

bool CommandLineImport::refuse(const QString& message) {
    say(stderr, QStringLiteral("folimar: %1").arg(message));
    exitCode_ = 1;
    return false;
}

bool CommandLineImport::start(const QStringList& files, const QString& into) {
    locations_ = platform::LocateProgram(registryStorePath_);
    platform::MakeProgramFolders(locations_);
    settings::LoadSettings(settings_, locations_);
    if (!into.isEmpty()) {
        const QString book = QDir::current().absoluteFilePath(into);
        if (!QFileInfo(book).isFile())
            return refuse(QStringLiteral("%1 does not exist; make the book in Folimar first "
                                         "(File > New, then SaveAs)")
                              .arg(into));
        settings_.BookPath = book;
    }
    store_ = std::make_unique<store::BookStore>(
        settings_, store::StoreLocations{locations_.ProgramFolder, locations_.NotesFolder},
        dialogs_);
    store_->StartStore();
    const QString shown = QDir::toNativeSeparators(store_->OpenedBookPath);
    if (store_->OpenElsewhere)
        return refuse(QStringLiteral("%1 is open in a running Folimar; import there with "
                                     "File > Import, or close it first")
                          .arg(shown));
    if (!store_->hasBook())
        return refuse(QStringLiteral("%1 cannot be opened as a book").arg(shown));
    if (const std::optional<platform::MessageRequest> refusal = store_->editRefusal())
        return refuse(QStringLiteral("%1: %2").arg(shown, refusal->text));

    QStringList paths;
    for (const QString& file : files)
        paths << QDir::current().absoluteFilePath(file);
    const import::PasswordAsk askPassword = [this](const QString& file, bool wrongBefore) {
        return dialogs_.password(import::passwordPrompt(file, wrongBefore), {});
    };
    import::ImportPlan plan = import::planImport(paths, askPassword);
    // A signal that came while the files were looked at (a password question gives up on
    // it) ends the command before any page is imported.
    termination_.reportPending();
    if (interruptedBy_ != 0) {
        say(stderr, QStringLiteral("folimar: interrupted; no pages were imported"));
        exitCode_ = 128 + interruptedBy_;
        return false;
    }
    const import::BookImport::Setup setup = import::BookImport::Setup::forUser(
        settings_,
        recognition::RecognitionSettings::load(recognition::RecognitionSettings::defaultPath()));
    const QStringList skipped = plan.skipped;
    import_ = std::make_unique<import::BookImport>(*store_, std::move(plan), setup);
    connect(import_.get(), &import::BookImport::pageDone, this,
            [](const import::ImportProgress& progress) {
                say(stderr,
                    QStringLiteral("%1 done. %2")
                        .arg(QStringLiteral("Page %1 of %2").arg(progress.done).arg(progress.total),
                             progress.pace()));
            });
    connect(import_.get(), &import::BookImport::finished, this, &CommandLineImport::ended);
    switch (import_->start()) {
    case import::BookImport::Start::Started:
        say(stderr,
            QStringLiteral("Importing %1 pages into %2").arg(import_->pageCount()).arg(shown));
        return true;
    case import::BookImport::Start::NothingToImport:
        return refuse(skipped.isEmpty() ? QStringLiteral("there are no pages to import")
                                        : QStringLiteral("no pages could be imported: %1")
                                              .arg(skipped.join(QStringLiteral(", "))));
    case import::BookImport::Start::NumbersWouldOverflow:
        return refuse(QStringLiteral("Can't Import: the topic numbers would pass %1")
                          .arg(std::numeric_limits<qint16>::max()));
    case import::BookImport::Start::BookNotWritable:
        break;
    }
    return refuse(QStringLiteral("%1 cannot be written").arg(shown));
}

// The book is closed (and compacted) only once the import's signal has returned.
void CommandLineImport::ended(const import::ImportSummary& summary) {
    say(stdout, summary.text());
    if (interruptedBy_ != 0)
        say(stderr, QStringLiteral("folimar: interrupted; the pages imported so far are kept in %1")
                        .arg(QFileInfo(store_->OpenedBookPath).fileName()));
    exitCode_ =
        summary.failure.isEmpty() && !summary.cancelled && summary.skipped.isEmpty() ? 0 : 1;
    QTimer::singleShot(0, this, [this] {
        import_.reset();
        store_->CloseAndCompactBook();
        Q_EMIT finished();
    });
}

} // namespace folimar::app
