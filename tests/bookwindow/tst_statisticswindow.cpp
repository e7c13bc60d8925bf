#include "bookwindow/StatisticsWindow.h"
#include "settings/Settings.h"
#include "store/BookStore.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace folimar;

class StatisticsWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void countsTheBookOffTheWindowsThread();
    void emptyBookShowsNothing();
};

namespace {

// Opens a book holding these page texts, numbered 1, 2, ...
void openBook(QTemporaryDir& root, store::BookStore& store, settings::Settings& settings,
              const QStringList& texts) {
    const QString program = root.filePath(QStringLiteral("program"));
    QDir().mkpath(program);
    {
        settings::Settings makerSettings;
        testing::ScriptedDialogs quiet;
        store::BookStore maker{makerSettings, {program, program}, quiet};
        maker.LoadBook();
        for (int i = 0; i < texts.size(); ++i)
            maker.storeTopic({i + 1, QString::number(i + 1), texts.at(i), {}, {}});
        maker.CloseAndCompactBook();
        QFile::rename(maker.untitledBookPath(), root.filePath(QStringLiteral("b.fmr")));
    }
    settings.BookPath = root.filePath(QStringLiteral("b.fmr"));
    store.LoadBook();
}

} // namespace

// Words and sentences of every topic (an empty one adds nothing), the topics figure
// taken from the topic list, and "Please Wait" gone once the figures are in; a second
// count goes into the same window.
void StatisticsWindowTest::countsTheBookOffTheWindowsThread() {
    QTemporaryDir root;
    settings::Settings settings;
    testing::ScriptedDialogs dialogs;
    store::BookStore store{settings, {root.filePath("program"), root.filePath("program")}, dialogs};
    openBook(root, store, settings,
             {QStringLiteral("One two three. Fuor fivv."), QString(), QStringLiteral("a  b")});

    // Opened for a book window in the screen's lower right corner, it is wholly on screen.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget owner;
    owner.setGeometry(QRect(area.bottomRight() - QPoint(60, 40), QSize(400, 300)));
    bookwindow::StatisticsWindow window;
    QSignalSpy shown(&window, &bookwindow::StatisticsWindow::countsShown);
    window.showStatistics(store, 5, &owner);
    QVERIFY(window.isVisible());
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(area.contains(window.frameGeometry()));
    QVERIFY(shown.wait());
    QVERIFY(window.Label2->isHidden());
    QCOMPARE(window.Text1->text(), QStringLiteral("5"));
    QCOMPARE(window.Text2->text(), QStringLiteral("5"));
    QCOMPARE(window.Text3->text(), QStringLiteral("2"));
    QCOMPARE(window.Text4->text(), QStringLiteral("00:00:02"));
    QCOMPARE(window.txtDoubtfulBook->text(), QStringLiteral("0")); // no language: no dictionary

    // The doubtful words of the book in its language, less the book's own words; those of
    // the page as the reader marks them.
    window.showStatistics(store, 3, nullptr, {QStringLiteral("eng"), {QStringLiteral("FIVV")}, 4});
    QVERIFY(shown.wait());
    QCOMPARE(window.Text1->text(), QStringLiteral("3"));
    QCOMPARE(window.Text2->text(), QStringLiteral("5"));
    QCOMPARE(window.txtDoubtfulBook->text(), QStringLiteral("1"));
    QCOMPARE(window.txtDoubtfulPage->text(), QStringLiteral("4"));

    QTest::mouseClick(window.findChild<QWidget*>(QStringLiteral("Command1")), Qt::LeftButton);
    QVERIFY(!window.isVisible());

    // Left half off the screen and closed, it opens wholly on the screen again.
    window.move(area.right() - window.width() / 2, area.bottom() - window.height() / 2);
    window.showStatistics(store, 3, &owner);
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(shown.wait());
    QVERIFY(area.contains(window.frameGeometry()));
}

void StatisticsWindowTest::emptyBookShowsNothing() {
    QTemporaryDir root;
    settings::Settings settings;
    testing::ScriptedDialogs dialogs;
    store::BookStore store{settings, {root.filePath("program"), root.filePath("program")}, dialogs};
    openBook(root, store, settings, {});
    bookwindow::StatisticsWindow window;
    window.showStatistics(store, 0);
    QVERIFY(!window.isVisible());
}

QTEST_MAIN(StatisticsWindowTest)
#include "tst_statisticswindow.moc"
