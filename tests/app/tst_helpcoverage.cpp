// Help, Topics speaks of everything a user can choose: each menu command, topic manager
// button and option of Folimar and Vocimar is named in the help text, as its caption reads.
#include "ProgramRig.h"
#include "reader/ReaderWindow.h"
#include "support/ManualClock.h"
#include "tray/TrayReader.h"
#include "tray/VocimarProgram.h"

#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

using folimar::testing::ProgramRig;

namespace {

// A caption as the user reads it: without its access key marks and trailing dots.
QString readable(QString caption) {
    caption.remove(u'&');
    caption.remove(QStringLiteral("…"));
    caption.remove(QStringLiteral("..."));
    return caption.trimmed();
}

void addMenu(const QList<QAction*>& actions, QStringList& names) {
    for (const QAction* action : actions) {
        if (action->isSeparator())
            continue;
        names << readable(action->text());
        if (action->menu())
            addMenu(action->menu()->actions(), names);
    }
}

// The commands of a window's menu bar and submenus, and of its popup menu if it has one.
QStringList commandsOf(QMainWindow& window) {
    QStringList names;
    addMenu(window.menuBar()->actions(), names);
    if (auto* popup = window.findChild<QMenu*>(QStringLiteral("mnuPopup")))
        addMenu(popup->actions(), names);
    return names;
}

// The options of a window: the title of each group of choices, each caption over choices
// (a label that is neither a sentence nor a hint about values) and each button.
QStringList optionsOf(QWidget& window) {
    QStringList names;
    for (const QGroupBox* group : window.findChildren<QGroupBox*>())
        names << readable(group->title());
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        static const QRegularExpression hint(QStringLiteral("[.\\d]"));
        if (!label->text().contains(hint))
            names << readable(label->text());
    }
    for (const QPushButton* button : window.findChildren<QPushButton*>())
        names << readable(button->text());
    names.removeAll(QString());
    return names;
}

// The top-level window of that object name, opened by `command` of `window`'s menu bar.
QWidget* openedBy(QMainWindow& window, const char* command, const char* objectName) {
    window.findChild<QAction*>(QLatin1String(command))->trigger();
    return window.findChild<QWidget*>(QLatin1String(objectName));
}

} // namespace

class HelpCoverage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyCommandAndOptionIsInTheHelp();
};

void HelpCoverage::everyCommandAndOptionIsInTheHelp() {
    QFile file(QStringLiteral(FOLIMAR_BIN_DIR "/help.dat"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString help = QString::fromUtf8(file.readAll());

    QMap<QString, QStringList> named; // window: the names it shows
    ProgramRig rig;
    rig.start();
    auto& reader = rig.program().readerWindow();
    auto& book = static_cast<QMainWindow&>(rig.bookWindow());
    named[QStringLiteral("reader window")] = commandsOf(reader);
    named[QStringLiteral("book window")] = commandsOf(book);
    named[QStringLiteral("topic manager")] = optionsOf(rig.topics());
    QWidget* options = openedBy(reader, "mnuOptions", "Form6");
    QVERIFY(options);
    named[QStringLiteral("options")] = optionsOf(*options);

    folimar::testing::ManualClock clock;
    folimar::tray::VocimarProgram vocimar({rig.dialogs, rig.characters, clock},
                                          {rig.root.filePath(QStringLiteral("registry.reg")),
                                           QStringLiteral(FOLIMAR_BIN_DIR), [] { return true; }});
    vocimar.StartProgram();
    auto& tray = vocimar.readerWindow();
    named[QStringLiteral("Vocimar window")] = commandsOf(tray);
    QStringList trayMenu;
    addMenu(vocimar.trayReader().mnuTaskIcon->actions(), trayMenu);
    named[QStringLiteral("Vocimar tray menu")] = trayMenu;
    QWidget* trayOptions = openedBy(tray, "mnuOptions", "Form6");
    QVERIFY(trayOptions);
    named[QStringLiteral("Vocimar options")] = optionsOf(*trayOptions);

    QStringList missing;
    for (auto window = named.cbegin(); window != named.cend(); ++window) {
        for (const QString& name : window.value()) {
            const QRegularExpression word(
                QStringLiteral("(^|\\W)%1($|\\W)").arg(QRegularExpression::escape(name)));
            if (!help.contains(word))
                missing << window.key() + QStringLiteral(": ") + name;
        }
    }
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral("; "))));
}

QTEST_MAIN(HelpCoverage)
#include "tst_helpcoverage.moc"
