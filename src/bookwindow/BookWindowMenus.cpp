#include "bookwindow/BookExportWindow.h"
#include "bookwindow/BookWindow.h"
#include "reader/CharacterHost.h"
#include "settings/Settings.h"

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

namespace folimar::bookwindow {

namespace {

QAction* namedAction(QAction* action, const QString& name) {
    action->setObjectName(name);
    return action;
}

} // namespace

void BookWindow::createMenus() {
    QMenuBar* bar = menuBar();
    const auto connectHook = [this](QAction* action, std::function<void()> Hooks::*hook) {
        connect(action, &QAction::triggered, this, [this, hook] {
            if (hooks_.*hook)
                (hooks_.*hook)();
        });
    };

    QMenu* mnuFile = bar->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    connectHook(namedAction(mnuFile->addAction(QStringLiteral("&Open")), QStringLiteral("mnuOPen")),
                &Hooks::openBook);
    connectHook(namedAction(mnuFile->addAction(QStringLiteral("&New")), QStringLiteral("mnuNew")),
                &Hooks::newBook);
    connectHook(
        namedAction(mnuFile->addAction(QStringLiteral("&SaveAs")), QStringLiteral("mnuSaveAs")),
        &Hooks::saveBookAs);
    namedAction(mnuFile->addSeparator(), QStringLiteral("sp1"));
    connectHook(
        namedAction(mnuFile->addAction(QStringLiteral("&Merge")), QStringLiteral("mnuMerge")),
        &Hooks::mergeBook);
    connectHook(
        namedAction(mnuFile->addAction(QStringLiteral("&Import...")), QStringLiteral("mnuImport")),
        &Hooks::importFiles);
    connectHook(namedAction(mnuFile->addAction(QStringLiteral("Import &Folder...")),
                            QStringLiteral("mnuImportFolder")),
                &Hooks::importFolder);
    QMenu* mnuExport = mnuFile->addMenu(QStringLiteral("&Export"));
    mnuExport->setObjectName(QStringLiteral("mnuExport"));
    connect(namedAction(mnuExport->addAction(QStringLiteral("Searchable &PDF…")),
                        QStringLiteral("mnuExportPdf")),
            &QAction::triggered, this,
            [this] { exportBook(bookexport::BookFormat::SearchablePdf); });
    connect(namedAction(mnuExport->addAction(QStringLiteral("&Read-along Book (EPUB 3)…")),
                        QStringLiteral("mnuExportEpub")),
            &QAction::triggered, this,
            [this] { exportBook(bookexport::BookFormat::ReadAlongEpub); });
    namedAction(mnuFile->addSeparator(), QStringLiteral("sp2"));
    connectHook(
        namedAction(mnuFile->addAction(QStringLiteral("S&tats")), QStringLiteral("mnuStats")),
        &Hooks::showStatistics);
    namedAction(mnuFile->addSeparator(), QStringLiteral("sp3"));
    connectHook(
        namedAction(mnuFile->addAction(QStringLiteral("&Prev")), QStringLiteral("mnuPrevF")),
        &Hooks::previousBook);

    QAction* mnuClear =
        namedAction(bar->addAction(QStringLiteral("&Clear")), QStringLiteral("mnuClear"));
    connect(mnuClear, &QAction::triggered, this, &BookWindow::ClearPagePicture);
    // Qt draws this caption as "Paste" with the P and the e marked; Alt+P is its key.
    QAction* mnuPaste =
        namedAction(bar->addAction(QStringLiteral("&Past&e")), QStringLiteral("mnuPaste"));
    connect(mnuPaste, &QAction::triggered, this, &BookWindow::pastePicture);
    // The menu bar would print a shortcut into the caption; Ctrl+R is the window's own key.
    QAction* mnuText =
        namedAction(bar->addAction(QStringLiteral("Te&xt")), QStringLiteral("mnuText"));
    mnuText->setStatusTip(QStringLiteral("Read the text of the page's picture (Ctrl+R)"));
    connect(mnuText, &QAction::triggered, this, &BookWindow::readPageText);

    // Opening the Zoom menu shows the natural size, so each step starts from there.
    QMenu* mnuZoom = bar->addMenu(QStringLiteral("&Zn"));
    mnuZoom->setObjectName(QStringLiteral("mnuZoom"));
    connect(mnuZoom, &QMenu::aboutToShow, this, &BookWindow::zoomNatural);
    connect(namedAction(mnuZoom->addAction(QStringLiteral("Z&w")), QStringLiteral("mnuZw")),
            &QAction::triggered, this, &BookWindow::zoomWindowWidth);
    connect(namedAction(mnuZoom->addAction(QStringLiteral("Z&o")), QStringLiteral("mnuZm")),
            &QAction::triggered, this, &BookWindow::zoomOut);
    connect(namedAction(mnuZoom->addAction(QStringLiteral("Z&i")), QStringLiteral("mnuZp")),
            &QAction::triggered, this, &BookWindow::zoomIn);

    QMenu* mnuReAlighn = bar->addMenu(QStringLiteral("&ReAln"));
    mnuReAlighn->setObjectName(QStringLiteral("mnuReAlighn"));
    connect(mnuReAlighn, &QMenu::aboutToShow, this, &BookWindow::realign);
    auto* arrangements = new QActionGroup(mnuReAlighn);
    addArrangementItem(mnuReAlighn, mnuLeft, QStringLiteral("mnuLeft"), QStringLiteral("&Left"), 0);
    addArrangementItem(mnuReAlighn, mnuRight, QStringLiteral("mnuRight"), QStringLiteral("&Right"),
                       1);
    addArrangementItem(mnuReAlighn, mnuTop, QStringLiteral("mnuTop"), QStringLiteral("&Top"), 2);
    addArrangementItem(mnuReAlighn, mnuBottom, QStringLiteral("mnuBottom"),
                       QStringLiteral("&Bottom"), 3);
    for (QAction* item : {mnuLeft, mnuRight, mnuTop, mnuBottom})
        arrangements->addAction(item);

    QAction* mnuTopics =
        namedAction(bar->addAction(QStringLiteral("&Topics")), QStringLiteral("mnuTopics"));
    connect(mnuTopics, &QAction::triggered, this, &BookWindow::showTopics);
    mnuPrev = namedAction(bar->addAction(QStringLiteral("&P")), QStringLiteral("mnuPrev"));
    connect(mnuPrev, &QAction::triggered, this, &BookWindow::PrevTopic);
    mnuNext = namedAction(bar->addAction(QStringLiteral("&N")), QStringLiteral("mnuNext"));
    connect(mnuNext, &QAction::triggered, this, &BookWindow::NextTopic);
}

void BookWindow::exportBook(bookexport::BookFormat format) {
    BookExportWindow*& window = exportWindows_[format];
    if (!window)
        window = new BookExportWindow(
            format, s_.store, s_.dialogs,
            [this] {
                return bookexport::readAlongChoices(s_.settings, s_.recognitionSettingsPath);
            },
            this);
    window->open();
}

void BookWindow::addArrangementItem(QMenu* menu, QAction*& item, const QString& name,
                                    const QString& caption, int arrangement) {
    item = namedAction(menu->addAction(caption), name);
    item->setCheckable(true);
    connect(item, &QAction::triggered, this, [this, arrangement] { arrangeWindows(arrangement); });
}

void BookWindow::tickArrangement(int arrangement) {
    QAction* const items[] = {mnuLeft, mnuRight, mnuTop, mnuBottom};
    for (int i = 0; i < 4; ++i)
        items[i]->setChecked(i == arrangement);
}

// Opening the ReAln menu tiles the windows again as they were arranged last.
void BookWindow::realign() {
    arrangeWindows(s_.settings.WindowArrangement);
    if (s_.host.characterVisible() && readerWindow_)
        readerWindow_->activateWindow();
}

} // namespace folimar::bookwindow
