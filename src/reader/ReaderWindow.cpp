#include "reader/ReaderWindow.h"

#include "platform/character/VoiceSettings.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/paths/PathNames.h"
#include "reader/AudioExportWindow.h"
#include "reader/CharacterHost.h"
#include "reader/HelpViewer.h"
#include "reader/OptionsWindow.h"
#include "reader/ReaderState.h"
#include "reader/ReaderTextEdit.h"
#include "reader/ReadingPlaces.h"
#include "reader/SafePaste.h"
#include "reader/SavedGeometry.h"
#include "reader/SentenceReader.h"
#include "reader/TextEditBox.h"
#include "reader/TopicEdits.h"
#include "reader/WindowArrangement.h"
#include "settings/Settings.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>

namespace folimar::reader {

namespace {

bool movesCaret(int key) {
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
        return true;
    default:
        return false;
    }
}

bool normalState(const QWidget& window) {
    return !(window.windowState() &
             (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

} // namespace

ReaderWindow::ReaderWindow(ReaderProfile profile, Parts parts, Files files, Hooks hooks,
                           QWidget* parent)
    : QMainWindow(parent), profile_(profile), parts_(parts), files_(std::move(files)),
      hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("Form1"));
    auto* textEdit = new ReaderTextEdit(this);
    connect(textEdit, &ReaderTextEdit::pasteRefused, this, [this] { refusePaste(); });
    Text1 = textEdit;
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Text1->setPlaceholderText(emptyTextHint(profile));
    setCentralWidget(Text1);
    text2 = new QTextEdit(this);
    text2->setObjectName(QStringLiteral("text2"));
    text2->hide();

    textBox_ = std::make_unique<TextEditBox>(*Text1);
    ReadingPlaces::Hooks placeHooks{hooks_.markAddToTopic, [this] {
                                        if (hooks_.blankPageAfterLast)
                                            hooks_.blankPageAfterLast();
                                        loadText(QString());
                                    }};
    places_ = std::make_unique<ReadingPlaces>(parts_.state, parts_.settings, parts_.reader,
                                              *textBox_, std::move(placeHooks));
    parts_.reader.setTextBox(textBox_.get());
    // The word being spoken, underlined in the sentence unless the user turned it off.
    connect(&parts_.reader, &SentenceReader::spokenWordChanged, textEdit,
            [this, textEdit](int start, int length) {
                const bool wanted = parts_.settings.SpokenWordMark == 0;
                textEdit->markWord(start, wanted ? length : 0);
            });
    connect(&parts_.reader, &SentenceReader::readingEnded, this, [this] {
        // Closed while the character spoke: the stop is done, the program may end.
        if (parts_.state.QuitPending && parts_.state.QuitRequested && hooks_.quitRequested)
            hooks_.quitRequested();
    });

    Text1->installEventFilter(this);
    Text1->viewport()->installEventFilter(this);
    // Typing, pasting, dropping, undoing, an input method: every change of the text.
    connect(Text1->document(), &QTextDocument::contentsChange, this,
            [this](int, int removed, int added) {
                if (!loadingText_ && (removed > 0 || added > 0))
                    markEdited();
            });

    if (profile_ == ReaderProfile::Vocimar) {
        buildVocimarMenus();
        setWindowTitle(programName(profile_));
    } else {
        buildFolimarMenus();
    }
}

ReaderWindow::~ReaderWindow() {
    parts_.reader.setTextBox(nullptr);
}

QAction* ReaderWindow::addCommand(QWidget* menu, const char* name, const QString& caption,
                                  std::function<void()> action) {
    auto* command = new QAction(caption, menu);
    command->setObjectName(QLatin1String(name));
    connect(command, &QAction::triggered, this, [action = std::move(action)] { action(); });
    menu->addAction(command);
    return command;
}

void ReaderWindow::buildFolimarMenus() {
    SentenceReader& reader = parts_.reader;
    QMenuBar* bar = menuBar();
    addCommand(bar, "mnuPlay", QStringLiteral("&Play"), [&reader] { reader.PlayReading(); });
    addCommand(bar, "mnuPause", QStringLiteral("P&ause/Ply"), [&reader] { reader.TogglePause(); });
    addCommand(bar, "mnuStop", QStringLiteral("&Stop"), [&reader] { reader.StopReading(); });
    addCommand(bar, "mnuPrev", QStringLiteral("&P"), [&reader] { reader.PreviousSentence(); });
    addCommand(bar, "mnuNext", QStringLiteral("&N"), [&reader] { reader.SkipSentence(); });
    addCommand(bar, "mnuClear", QStringLiteral("&Clear"), [this] { ClearText(); });
    addCommand(bar, "mnuPaste", QStringLiteral("Past&e"), [this] { PasteText(); });
    addCommand(bar, "mnuSaveAudio", QStringLiteral("Save as A&udio…"),
               [this] { showAudioExport(); });
    addCommand(bar, "mnuOptions", QStringLiteral("&Options"), [this] { showOptions(); });
    buildProofreadingMenu(*bar);
    QMenu* mnuHelp = bar->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    addCommand(mnuHelp, "mnuAbout", QStringLiteral("&About"), [this] { showAbout(); });
    mnuHelp->addSeparator();
    addCommand(mnuHelp, "mnuTopics", QStringLiteral("&Topics"), [this] { showHelp(); });
    addCommand(bar, "mnuQuit", QStringLiteral("&Q"), [this] { close(); });

    mnuPopup = new QMenu(QStringLiteral("popup"), this);
    mnuPopup->setObjectName(QStringLiteral("mnuPopup"));
    addCommand(mnuPopup, "mnuBack", QStringLiteral("&Back"), [this] { places_->Back(); });
    mnuPopup->addSeparator();
    addCommand(mnuPopup, "mnuSet", QStringLiteral("&Set"), [this] { places_->Set(); });
    addCommand(mnuPopup, "mnuGoto", QStringLiteral("&Goto"), [this] { places_->Goto(); });
    mnuPopup->addSeparator();
    addCommand(mnuPopup, "mnuAddBookWord", QStringLiteral("&Add to the book's words"), [this] {
        if (hooks_.addToBookWords)
            hooks_.addToBookWords();
    });
}

// The walk through the doubtful words; the keys are the reading keys' (F11, Shift+F11).
void ReaderWindow::buildProofreadingMenu(QMenuBar& bar) {
    QMenu* mnuWords = bar.addMenu(QStringLiteral("&Words"));
    mnuWords->setObjectName(QStringLiteral("mnuWords"));
    const auto walk = [this](bool forward) {
        if (hooks_.walkDoubtful)
            hooks_.walkDoubtful(forward);
    };
    addCommand(mnuWords, "mnuNextDoubtful", QStringLiteral("&Next doubtful word"),
               [walk] { walk(true); })
        ->setStatusTip(QStringLiteral("Go to the next doubtful word and hear it (F11)"));
    addCommand(mnuWords, "mnuPrevDoubtful", QStringLiteral("&Previous doubtful word"),
               [walk] { walk(false); })
        ->setStatusTip(QStringLiteral("Go to the previous doubtful word and hear it (Shift+F11)"));
}

void ReaderWindow::buildVocimarMenus() {
    SentenceReader& reader = parts_.reader;
    QMenuBar* bar = menuBar();
    addCommand(bar, "mnuPlay", QStringLiteral("&Play"), [this, &reader] {
        if (hooks_.setResumeOnShow)
            hooks_.setResumeOnShow(true);
        reader.PlayReading();
    });
    addCommand(bar, "mnuPause", QStringLiteral("P&ause/Play"), [&reader] { reader.TogglePause(); });
    addCommand(bar, "mnuStop", QStringLiteral("&Stop"), [this, &reader] {
        reader.StopReading();
        if (hooks_.setResumeOnShow)
            hooks_.setResumeOnShow(false);
    });
    addCommand(bar, "mnuNext", QStringLiteral("&N"), [&reader] { reader.SkipSentence(); });
    addCommand(bar, "mnuClear", QStringLiteral("&Clear"), [this] { ClearText(); });
    addCommand(bar, "mnuPaste", QStringLiteral("Past&e"), [this] { PasteText(); });
    addCommand(bar, "mnuFind", QStringLiteral("&Find"), [this] {
        if (hooks_.findInDoc)
            hooks_.findInDoc();
    });
    addCommand(bar, "mnuSaveAudio", QStringLiteral("Save as A&udio…"),
               [this] { showAudioExport(); });
    addCommand(bar, "mnuOptions", QStringLiteral("&Options"), [this] { showOptions(); });
    addCommand(bar, "mnuAbout", QStringLiteral("Abou&t"), [this] { showAbout(); });
    addCommand(bar, "mnuQuit", QStringLiteral("&Quit"), [this] { requestQuit(); });
}

void ReaderWindow::setTopicList(TopicList* topics) {
    places_->setTopicList(topics);
}

void ReaderWindow::placeAtLoad() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    if (profile_ == ReaderProfile::Vocimar) {
        PlaceWindow(*this, CentredOnScreen(area, 0.75, 0.5));
    } else {
        const settings::Settings& s = parts_.settings;
        const SavedGeometry saved{s.ReaderLeft, s.ReaderTop, s.ReaderWidth, s.ReaderHeight,
                                  s.ReaderWindowState};
        if (!saved.restore(*this))
            PlaceWindow(*this, ArrangeWindows(s.WindowArrangement, area).reader);
    }
    loaded_ = true;
}

void ReaderWindow::rememberGeometry() {
    const SavedGeometry now = SavedGeometry::of(*this);
    settings::Settings& s = parts_.settings;
    s.ReaderLeft = now.left;
    s.ReaderTop = now.top;
    s.ReaderWidth = now.width;
    s.ReaderHeight = now.height;
    s.ReaderWindowState = now.state;
}

void ReaderWindow::setBookCaption(const QString& bookPath) {
    setWindowTitle(platform::FileNameOf(bookPath));
}

void ReaderWindow::loadText(const QString& text) {
    loadingText_ = true;
    Text1->setPlainText(text);
    loadingText_ = false;
}

void ReaderWindow::ClearText() {
    Text1->clear();
    parts_.settings.ReadPos = 0;
}

void ReaderWindow::PasteText() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    QTextCursor cursor = Text1->textCursor();
    const bool replacesAll = cursor.selectionStart() == 0 &&
                             cursor.selectionEnd() >= Text1->document()->characterCount() - 1;
    PasteOutcome outcome = PasteOutcome::Nothing;
    if (replacesAll) {
        // A new text as a whole; the caret stays at its top, where reading starts.
        outcome = pasteWholeText(data);
    } else {
        outcome = insertPaste(data, cursor);
        if (outcome == PasteOutcome::TooLong)
            refusePaste();
        else
            Text1->setTextCursor(cursor);
    }
    if (outcome != PasteOutcome::TooLong)
        markEdited();
}

PasteOutcome ReaderWindow::pasteWholeText(const QMimeData* data) {
    const PasteOutcome outcome = replaceWithPaste(data, *Text1);
    if (outcome == PasteOutcome::TooLong)
        refusePaste();
    return outcome;
}

void ReaderWindow::refusePaste() {
    parts_.dialogs.inform(pasteTooLongMessage(), programName(profile_),
                          platform::MessageIcon::Exclamation);
}

void ReaderWindow::replaceTextAsPasted(const QString& text) {
    QTextCursor cursor(Text1->document());
    cursor.select(QTextCursor::Document);
    cursor.insertText(text);
    cursor.movePosition(QTextCursor::Start);
    Text1->setTextCursor(cursor);
    markEdited();
}

void ReaderWindow::markEdited() {
    if (parts_.store)
        markTopicEdited(parts_.state, *parts_.store, parts_.settings);
}

void ReaderWindow::showOptions() {
    if (!options_) {
        options_ = new OptionsWindow(profile_, parts_.settings, parts_.host, parts_.dialogs,
                                     files_.charactersFolder, this);
        if (!files_.recognitionSettings.isEmpty())
            options_->addRecognitionOptions(files_.recognitionSettings);
    }
    options_->show();
    options_->raise();
    options_->activateWindow();
}

void ReaderWindow::showAudioExport() {
    if (!audioExport_) {
        const auto topics = [this] {
            return hooks_.bookTopics ? hooks_.bookTopics() : QList<store::TopicPage>();
        };
        AudioExportWindow::Sources sources{
            [this] { return Text1->toPlainText(); },
            [this, topics] {
                const QList<store::TopicPage> all = topics();
                const int index = parts_.settings.TopicIndex;
                return index >= 0 && index < all.size() ? all[index].TopicName : QString();
            },
            topics,
            [this] {
                return profile_ == ReaderProfile::Folimar
                           ? QFileInfo(parts_.settings.BookPath).completeBaseName()
                           : QString();
            },
            [] { return character::VoiceSettings::load(character::VoiceSettings::defaultPath()); },
            [this] { return parts_.settings.CapsAsSmall == 1; },
            [this] { return sentences::sentenceEndsOf(parts_.settings.SentenceEnds); }};
        audioExport_ = new AudioExportWindow(profile_, std::move(sources), parts_.dialogs,
                                             files_.audioExportSettings, this);
    }
    audioExport_->open();
}

void ReaderWindow::showHelp() {
    if (!help_)
        help_ = new HelpViewer(parts_.dialogs, QString(), this);
    help_->setHelpFile(files_.helpFile ? files_.helpFile() : QString());
    help_->open();
}

void ReaderWindow::showAbout() {
    if (hooks_.showAbout) {
        hooks_.showAbout();
        return;
    }
    const QString name = programName(profile_);
    parts_.dialogs.inform(name + QStringLiteral("\nVer 1.91"), QStringLiteral("About ") + name);
}

void ReaderWindow::requestQuit() {
    parts_.state.QuitRequested = true;
    if (hooks_.quitRequested)
        hooks_.quitRequested();
}

void ReaderWindow::closeEvent(QCloseEvent* event) {
    // The window stays until the program's shutdown step puts it away.
    event->ignore();
    if (profile_ == ReaderProfile::Vocimar) {
        if (hooks_.closeToTray)
            hooks_.closeToTray();
        else
            hide();
        return;
    }
    rememberGeometry();
    if (partner_) {
        const SavedGeometry book = SavedGeometry::of(*partner_);
        settings::Settings& s = parts_.settings;
        s.BookLeft = book.left;
        s.BookTop = book.top;
        s.BookWidth = book.width;
        s.BookHeight = book.height;
        s.BookWindowState = book.state;
    }
    if (parts_.state.TopicDirty &&
        !parts_.dialogs.confirm(QStringLiteral("Are you Sure you want to Quit?"),
                                QStringLiteral("First update your current topic")))
        return;
    if (parts_.host.characterVisible() && parts_.reader.isReading()) {
        // The program ends once the play loop has finished (with no loop to finish, a
        // shown character must not keep the program from ending).
        parts_.reader.StopReading();
        parts_.state.QuitPending = true;
        return;
    }
    requestQuit();
}

void ReaderWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    dockPartner();
}

void ReaderWindow::dockPartner() {
    if (!loaded_ || !partner_ || !normalState(*this) || !normalState(*partner_))
        return;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    if (const auto docked = DockedPartner(parts_.settings.WindowArrangement, screen->geometry(),
                                          OuterGeometry(*this), OuterGeometry(*partner_)))
        PlaceWindow(*partner_, *docked);
}

bool ReaderWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != Text1 && watched != Text1->viewport())
        return QMainWindow::eventFilter(watched, event);
    const bool folimar = profile_ == ReaderProfile::Folimar;
    switch (event->type()) {
    case QEvent::KeyRelease:
        textKeyReleased(static_cast<const QKeyEvent&>(*event));
        break;
    case QEvent::MouseButtonRelease: {
        const auto& mouse = static_cast<const QMouseEvent&>(*event);
        if (mouse.button() == Qt::LeftButton)
            textClicked();
        else if (mouse.button() == Qt::RightButton && folimar)
            showPopup(mouse.globalPosition().toPoint());
        break;
    }
    case QEvent::MouseButtonDblClick:
        // Vocimar does nothing on a double click, not even select a word.
        return !folimar;
    case QEvent::ContextMenu: {
        // Never the text box's own menu: ours opens on the right button's release, or
        // from the keyboard.
        const auto& menu = static_cast<const QContextMenuEvent&>(*event);
        if (folimar && menu.reason() == QContextMenuEvent::Keyboard)
            showPopup(Text1->viewport()->mapToGlobal(Text1->cursorRect().bottomLeft()));
        return true;
    }
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void ReaderWindow::textKeyReleased(const QKeyEvent& key) {
    if (key.isAutoRepeat())
        return;
    ReaderState& state = parts_.state;
    if (movesCaret(key.key())) {
        // Reading goes on from the caret after the sentence being spoken.
        const int caret = textBox_->selectionStart();
        parts_.settings.ReadPos = caret;
        state.JumpPos = caret;
        state.FindPos = caret;
        state.JumpPending = true;
        state.UserMoved = true;
    } else if (key.key() == Qt::Key_End) {
        if (!state.Paused)
            parts_.reader.TogglePause();
    }
}

void ReaderWindow::textClicked() {
    if (places_->takeClick())
        parts_.reader.RepositionAtCaret();
}

void ReaderWindow::showPopup(const QPoint& globalPos) {
    if (mnuPopup)
        mnuPopup->popup(globalPos);
}

} // namespace folimar::reader
