// Reading aloud brings the reader window forward before each sentence, but only while the
// program has the keyboard: keys typed into another program never land in the page's text.
#include "ProgramRig.h"

#include <QApplication>
#include <QTest>
#include <QWindow>

using folimar::testing::ProgramRig;

class ReadingFocus : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readingLeavesAnotherProgramsKeyboardAlone() {
        ProgramRig rig;
        rig.start();
        rig.type(QStringLiteral("One. Two. Three. Four."));
        rig.press(Qt::Key_Home);
        folimar::testing::ScriptedCharacter* character = rig.startReading();
        QVERIFY(character);
        QTRY_COMPARE(character->spoken.value(0), QStringLiteral("One."));
        // Within the program the reader window comes forward, as before.
        rig.bookWindow().activateWindow();
        character->completeAll();
        QTRY_COMPARE(character->spoken.value(1).trimmed(), QStringLiteral("Two."));
        QTRY_COMPARE(QApplication::activeWindow(), &rig.reader());

        // Another program takes the keyboard: a window none of the program's widgets own.
        QWindow other;
        other.show();
        other.requestActivate();
        QTRY_COMPARE(QGuiApplication::focusWindow(), &other);
        QVERIFY(!QApplication::activeWindow());
        character->completeAll();
        QTRY_COMPARE(character->spoken.value(2).trimmed(), QStringLiteral("Three."));
        QCoreApplication::processEvents();
        QCOMPARE(QGuiApplication::focusWindow(), &other);
        rig.press(Qt::Key_F3);
        rig.quit();
    }
};

QTEST_MAIN(ReadingFocus)
#include "tst_readingfocus.moc"
