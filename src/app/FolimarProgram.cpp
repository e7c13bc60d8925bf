#include "app/FolimarProgram.h"

#include "app/ProgramLog.h"
#include "bookwindow/BookFileCommands.h"
#include "bookwindow/BookImportCommand.h"
#include "bookwindow/BookWindow.h"
#include "bookwindow/StatisticsWindow.h"
#include "infowindows/AboutWindow.h"
#include "infowindows/CharacterMissingNotice.h"
#include "platform/character/DesktopCharacterService.h"
#include "platform/link/InstanceLinkServer.h"
#include "platform/paths/CommandArgs.h"
#include "reader/CharacterHost.h"
#include "reader/FindWindow.h"
#include "reader/ReaderWindow.h"
#include "reader/ReadingKeys.h"
#include "reader/ReplaceWindow.h"
#include "reader/SentenceReader.h"
#include "reader/TextEditBox.h"
#include "reader/TextFinder.h"
#include "recognition/RecognitionSettings.h"
#include "settings/AudioExportFolder.h"
#include "settings/SettingsFile.h"
#include "store/BookStore.h"
#include "topics/ShutdownWatch.h"
#include "topics/TopicManager.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QTextEdit>
#include <QTimer>

namespace folimar::app {

FolimarProgram::FolimarProgram(Options options, QObject* parent)
    : QObject(parent), options_(std::move(options)),
      dialogs_(options_.dialogs ? *options_.dialogs : widgetDialogs_),
      launcher_(options_.launcher ? *options_.launcher : qtLauncher_),
      installed_(options_.installedFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                                    : options_.installedFolder) {
    connect(&termination_, &platform::TerminationSignals::terminationRequested, this,
            &FolimarProgram::requestQuit);
}

FolimarProgram::~FolimarProgram() {
    // The reader lets go of the windows' text box and list before they go.
    if (reader_) {
        reader_->setTextBox(nullptr);
        reader_->setTopicList(nullptr);
    }
}

bool FolimarProgram::StartProgram(const QStringList& arguments) {
    locations_ = platform::LocateProgram(options_.registryStorePath);
    const QStringList args = platform::GetCommandArgs(arguments);
    const QString arg = args.size() > 1 ? platform::StripArgumentQuotes(args.at(1)) : QString();
    const QString namedBook = arg.isEmpty() ? QString() : QDir::current().absoluteFilePath(arg);
    // A start that hands its book over touches no file of the running program.
    if (!namedBook.isEmpty() && options_.handOverToRunningInstance &&
        options_.handOverToRunningInstance(namedBook))
        return false;

    platform::MakeProgramFolders(locations_);
    // The page picture's working files are this program's own, gone when it ends.
    workFolder_ = std::make_unique<QTemporaryDir>(platform::WorkFolderParent() +
                                                  QStringLiteral("/folimar-XXXXXX"));
    locations_.WorkFolder = workFolder_->path();
    settings::LoadSettings(settings_, locations_);
    if (!namedBook.isEmpty()) {
        locations_.LastFolder = QDir::currentPath();
        settings_.TopicIndex = 0;
        settings_.ReadPos = 0;
        settings_.BookPath = namedBook;
    }

    store_ = std::make_unique<store::BookStore>(
        settings_, store::StoreLocations{locations_.ProgramFolder, locations_.NotesFolder},
        dialogs_);
    store_->StartStore();
    if (ended_)
        return false; // asked to quit while the store's message was open

    createReadingEngine();
    createWindows();
    // From here on later starts hand their books over, also while a start-up message
    // waits for an answer.
    listenForHandedOverBooks();
    showWindowsInArrangementOrder();
    readerWindow_->loadText(QString());
    topicManager_->loadWindow();
    if (ended_)
        return false; // asked to quit while a start-up message was open
    readerWindow_->activateWindow();
    if (const std::optional<platform::MessageRequest> notice = store_->openElsewhereNotice()) {
        dialogs_.message(*notice);
        if (ended_)
            return false;
    }
    if (settings_.PlayAtStartup == 0)
        reader_->PlayReading();
    return true;
}

void FolimarProgram::createReadingEngine() {
    characters_ = options_.characters;
    if (!characters_) {
        desktopCharacters_ = std::make_unique<character::DesktopCharacterService>();
        characters_ = desktopCharacters_.get();
    }
    host_ =
        std::make_unique<reader::CharacterHost>(readerState_, settings_, *characters_, dialogs_);
    reader_ =
        std::make_unique<reader::SentenceReader>(readerState_, settings_, *host_, dialogs_, clock_);
    reader_->setCharacterMissingNotice([this] { showCharacterMissing(); });
    keys_ = std::make_unique<reader::ReadingKeys>(reader::ReaderProfile::Folimar, *reader_);
    shutdown_ = std::make_unique<topics::ShutdownWatch>(
        settings_, locations_, *store_, readerState_, listState_, clock_,
        [this] { return host_->characterVisible(); });
    connect(shutdown_.get(), &topics::ShutdownWatch::aboutToSave, this, [this] {
        link_.reset(); // a later start becomes the program instead of handing over to this one
        readerWindow_->rememberGeometry();
        bookWindow_->rememberGeometry();
    });
    connect(shutdown_.get(), &topics::ShutdownWatch::finished, this, [this] {
        readerWindow_->hide();
        bookWindow_->hide();
        topicManager_->hide();
        endProgram();
    });
}

void FolimarProgram::createWindows() {
    const auto quit = [this] { requestQuit(); };
    readerWindow_ = std::make_unique<reader::ReaderWindow>(
        reader::ReaderProfile::Folimar,
        reader::ReaderWindow::Parts{settings_, readerState_, *reader_, *host_, dialogs_,
                                    store_.get()},
        reader::ReaderWindow::Files{
            [this] { return installed_.dataFileOrItsPlace(QStringLiteral("help.dat")); },
            installed_.dataFile(QStringLiteral("characters")),
            recognition::RecognitionSettings::defaultPath(),
            settings::AudioExportFolder::defaultPath()},
        reader::ReaderWindow::Hooks{quit,
                                    [this] { topicManager_->askToAddTopic(); },
                                    [this] { blankPageAfterLast(); },
                                    [this] { showAbout(); },
                                    {},
                                    {},
                                    {},
                                    [this] { return store_->topicTexts(); }});

    bookWindow_ = std::make_unique<bookwindow::BookWindow>(
        bookwindow::BookWindow::Services{settings_, readerState_, picture_, *store_, *reader_,
                                         *host_, dialogs_, launcher_, clock_, installed_,
                                         locations_.WorkFolder,
                                         recognition::RecognitionSettings::defaultPath(), {}},
        bookwindow::BookWindow::Hooks{
            [this](QWidget* window) { keys_->watch(window); },
            [this] { return readerWindow_->Text1->toPlainText(); },
            [this](const QString& text) { readerWindow_->loadText(text); },
            [this](const QPoint& at) { readerWindow_->showPopup(at); },
            [this](bool onPage) { openFindFromReader(onPage); }, [this] { replaceWindow_->open(); },
            [this] { finder_->FindNext(); }, quit, [this] { fileCommands_->openBook(); },
            [this] { fileCommands_->newBook(); }, [this] { fileCommands_->saveBookAs(); },
            [this] { fileCommands_->mergeBook(); }, [this] { showStatistics(); },
            [this] { fileCommands_->previousBook(); },
            [this](const QString& text) { readerWindow_->replaceTextAsPasted(text); },
            [this](int offset) {
                readerWindow_->textBox().setSelectionStart(offset);
                reader_->RepositionAtCaret();
            },
            [this] { importCommand_->importFiles(); }, [this] { importCommand_->importFolder(); }});
    // The sentence being read is marked on the page picture too.
    QObject::connect(reader_.get(), &reader::SentenceReader::sentenceQueued, bookWindow_.get(),
                     [this](int start, const QString& sentence) {
                         bookWindow_->markSpokenSentence(start, int(sentence.size()));
                     });
    for (const auto ended :
         {&reader::SentenceReader::readingEnded, &reader::SentenceReader::topicReadThrough})
        QObject::connect(reader_.get(), ended, bookWindow_.get(),
                         &bookwindow::BookWindow::clearSpokenSentence);
    QObject::connect(reader_.get(), &reader::SentenceReader::spokenWordChanged, bookWindow_.get(),
                     &bookwindow::BookWindow::markSpokenWord);

    topicManager_ = std::make_unique<topics::TopicManager>(
        topics::TopicManager::Parts{*store_, settings_, locations_, readerState_, *reader_, *host_,
                                    dialogs_, listState_, *bookWindow_},
        topics::TopicManager::Hooks{
            [this](const QString& text) { readerWindow_->loadText(text); },
            [this] { return readerWindow_->Text1->toPlainText(); },
            [this](int position) {
                readerWindow_->textBox().setSelectionStart(position);
                readerWindow_->textBox().takeFocus();
            },
            // The topic manager handles its control keys itself.
            [this](QWidget* window) {
                keys_->watch(window, reader::ReadingKeys::Keys::FunctionKeys);
            },
            [this](const QPoint& at) { readerWindow_->showPopup(at); },
            [this](bool onPage, const QString& text) { findWindow_->open(onPage, text); },
            [this] { finder_->FindNext(); }, [this] { replaceWindow_->open(); }});

    readerWindow_->setTopicList(topicManager_.get());
    readerWindow_->setPartnerWindow(bookWindow_.get());
    readerWindow_->setBookCaption(settings_.BookPath);
    bookWindow_->setTopicNavigation(topicManager_.get());
    bookWindow_->setReaderWindow(readerWindow_.get());
    reader_->setTextBox(&readerWindow_->textBox());
    reader_->setTopicList(topicManager_.get());
    createFindWindows();
    createFileCommands();
    wireReadingKeys();
    keys_->watch(readerWindow_.get());
}

void FolimarProgram::createFindWindows() {
    finder_ = std::make_unique<reader::TextFinder>(
        reader::TextFinder::Parts{settings_, readerState_, *reader_, *host_, dialogs_,
                                  readerWindow_->textBox(), store_.get()},
        reader::TextFinder::Hooks{[this] { return topicManager_->entryCount(); },
                                  [this](int topicNo) { showTopicNumbered(topicNo); },
                                  [this] {
                                      topicManager_->deselectEntryMuted(settings_.TopicIndex);
                                      topicManager_->selectEntry(settings_.TopicIndex);
                                  },
                                  [this] { readerWindow_->activateWindow(); }});
    // Owned by the reader window, they stay above it when Find Next activates it.
    findWindow_ = std::make_unique<reader::FindWindow>(
        *finder_, settings_, reader::FindWindow::Hooks{[this] { replaceWindow_->open(); }},
        readerWindow_.get());
    replaceWindow_ = std::make_unique<reader::ReplaceWindow>(*finder_, readerWindow_.get());
}

void FolimarProgram::createFileCommands() {
    fileCommands_ = std::make_unique<bookwindow::BookFileCommands>(
        bookwindow::BookFileCommands::Parts{settings_, locations_.LastFolder, *store_, readerState_,
                                            *reader_, *host_, dialogs_, *bookWindow_,
                                            *topicManager_, locations_.WorkFolder},
        bookwindow::BookFileCommands::Hooks{
            [this](const QString& text) { readerWindow_->loadText(text); },
            [this](const QString& caption) { readerWindow_->setBookCaption(caption); },
            [this] {
                readerWindow_->raise();
                readerWindow_->activateWindow();
            },
            [this] { return readerWindow_->Text1->toPlainText(); }});
    importCommand_ = std::make_unique<bookwindow::BookImportCommand>(
        bookwindow::BookImportCommand::Parts{settings_, locations_.LastFolder, *store_,
                                             readerState_, dialogs_, *topicManager_,
                                             recognition::RecognitionSettings::defaultPath(),
                                             bookWindow_.get()},
        [this] {
            // Open statistics follow the pages as they arrive.
            if (statistics_ && statistics_->isVisible())
                showStatistics();
        });
}

// Once the windows exist, this instance takes the books later starts hand over. When
// another instance already listens, this one runs without the link and leaves it alone.
void FolimarProgram::listenForHandedOverBooks() {
    if (linkPath_.isEmpty())
        return;
    link_ = std::make_unique<platform::InstanceLinkServer>(linkPath_);
    if (link_->listen() != platform::InstanceLinkServer::ListenResult::Listening) {
        qCInfo(programLog, "running without the instance link");
        link_.reset();
        return;
    }
    qCInfo(programLog, "taking handed-over books on %s", qUtf8Printable(linkPath_));
    // Queued: the questions a switch may ask are not shown from inside the socket's read.
    connect(link_.get(), &platform::InstanceLinkServer::openRequested, this,
            &FolimarProgram::openHandedOverBook, Qt::QueuedConnection);
    connect(
        link_.get(), &platform::InstanceLinkServer::openRefused, this,
        [this](const QString& path, const QString& why) {
            dialogs_.inform(QStringLiteral("%1 cannot be opened as a book: %2.").arg(path, why),
                            QStringLiteral("Folimar"), platform::MessageIcon::Exclamation);
        },
        Qt::QueuedConnection);
}

// A book that arrives while a question or dialog is open waits until it is answered, so
// that no switch runs inside another command.
void FolimarProgram::openHandedOverBook(const QString& path) {
    if (!link_)
        return; // the program has ended meanwhile
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(250, this, [this, path] { openHandedOverBook(path); });
        return;
    }
    fileCommands_->openHandedOverBook(path);
    qCInfo(programLog, "handed-over book done: %s", qUtf8Printable(path));
}

void FolimarProgram::openFindFromReader(bool findOnPage) {
    QString seed;
    if (!host_->characterVisible())
        seed = readerWindow_->textBox().selectedText();
    findWindow_->open(findOnPage, seed);
}

// A book search shows the topic it found through the topic list, as any topic is shown.
void FolimarProgram::showTopicNumbered(int topicNo) {
    for (int index = 0; index < topicManager_->entryCount(); ++index) {
        if (topicManager_->topicNoAt(index) == topicNo) {
            topicManager_->deselectEntryMuted(settings_.TopicIndex);
            topicManager_->selectEntry(index);
            return;
        }
    }
}

void FolimarProgram::showStatistics() {
    if (!statistics_)
        statistics_ = std::make_unique<bookwindow::StatisticsWindow>();
    statistics_->showStatistics(*store_, topicManager_->entryCount(), bookWindow_.get());
}

void FolimarProgram::wireReadingKeys() {
    reader::ReadingKeys::Actions actions;
    actions.PrevTopic = [this] { bookWindow_->PrevTopic(); };
    actions.NextTopic = [this] { bookWindow_->NextTopic(); };
    actions.firstTopic = [this] { selectEdgeTopic(false); };
    actions.lastTopic = [this] { selectEdgeTopic(true); };
    actions.StoreTopic = [this] { bookWindow_->StoreTopic(); };
    actions.findOnPage = [this] { openFindFromReader(true); };
    actions.findInDoc = [this] { openFindFromReader(false); };
    actions.replace = [this] { replaceWindow_->open(); };
    actions.findNext = [this] { finder_->FindNext(); };
    actions.cancelPageText = [this] { return bookWindow_->cancelRunningPageText(); };
    keys_->setActions(std::move(actions));
}

// F7 and F8: the first or last entry of the topic list, which shows that topic.
void FolimarProgram::selectEdgeTopic(bool last) {
    const int count = topicManager_->entryCount();
    if (count == 0)
        return;
    topicManager_->deselectEntryMuted(settings_.TopicIndex);
    topicManager_->selectEntry(last ? count - 1 : 0);
}

// Goto or Back past the last topic: a blank page for a new topic, as page turning gives.
void FolimarProgram::blankPageAfterLast() {
    topicManager_->showBlankPageAfterLast();
}

void FolimarProgram::showWindowsInArrangementOrder() {
    bookWindow_->placeAtLoad();
    readerWindow_->placeAtLoad();
    if (settings_.WindowArrangement < 1) {
        bookWindow_->show();
        readerWindow_->show();
    } else {
        readerWindow_->show();
        bookWindow_->show();
    }
}

void FolimarProgram::showAbout() {
    if (!about_)
        about_ = std::make_unique<infowindows::AboutWindow>(QStringLiteral("Folimar"));
    about_->setDocumentOwner(store_->BookOwner);
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void FolimarProgram::showCharacterMissing() {
    if (!missingNotice_)
        missingNotice_ = std::make_unique<infowindows::CharacterMissingNotice>();
    missingNotice_->show();
    missingNotice_->raise();
}

void FolimarProgram::requestQuit() {
    if (shutdown_)
        shutdown_->requestQuit();
    else
        endProgram();
}

void FolimarProgram::endProgram() {
    ended_ = true;
    link_.reset(); // a later start no longer finds this instance
    if (importCommand_)
        importCommand_->abandon();
    // A box still waiting for an answer (a start-up message) would keep the program
    // from ever ending.
    while (QWidget* modal = QApplication::activeModalWidget()) {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->done(QDialog::Rejected);
        modal->hide();
    }
    Q_EMIT finished();
}

} // namespace folimar::app
