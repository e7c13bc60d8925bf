#include "platform/character/CharacterStage.h"
#include "platform/character/DesktopCharacter.h"
#include "platform/character/DesktopCharacterService.h"
#include "platform/character/RequestQueue.h"
#include "platform/character/SpeechBalloon.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSlider>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace folimar::character;

class DesktopCharacterTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir home_;
    std::unique_ptr<DesktopCharacterService> service_;
    DesktopCharacter* genie_ = nullptr;

    // A character that speaks silently at `wordsPerSecond`, shown and resting.
    void loadGenie(double wordsPerSecond) {
        service_ = std::make_unique<DesktopCharacterService>(
            QStringList{FOLIMAR_BIN_DIR "/characters"},
            std::make_unique<SilentVoiceProvider>(wordsPerSecond), home_.filePath("voice.conf"));
        QString error;
        genie_ = qobject_cast<DesktopCharacter*>(service_->load("CharacterID", "Genie", &error));
        QVERIFY2(genie_, qPrintable(error));
        genie_->setPosition({200, 200});
        genie_->show();
        QVERIFY(QTest::qWaitForWindowExposed(&genie_->stage()));
        QTRY_COMPARE(genie_->animation(), QString("Idle"));
    }

private Q_SLOTS:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(home_.isValid());
    }
    void cleanup() { service_.reset(); }

    void showSpeakAndHidePlayTheirAnimations() {
        loadGenie(1000);
        QSignalSpy done(genie_, &Character::requestComplete);
        QVERIFY(genie_->isVisible());
        genie_->setBalloonStyle(BalloonOn);
        genie_->speak("Hello from the lamp.");
        QCOMPARE(genie_->animation(), QString("Speaking"));
        QVERIFY(genie_->balloon().isVisible());
        QCOMPARE(genie_->balloon().shownText(), QString("Hello from the lamp."));
        const RequestId after = genie_->get("state", "Speaking");
        QTRY_COMPARE(done.count(), 2);
        QCOMPARE(done.last().at(0).value<RequestId>(), after);
        QTRY_COMPARE(genie_->animation(), QString("Idle"));

        genie_->hide();
        QVERIFY(!genie_->isVisible());
        QCOMPARE(genie_->animation(), QString("Hide"));
        QTRY_VERIFY(!genie_->stage().isVisible());
        QVERIFY(!genie_->balloon().isVisible());

        // Hiding and stopping at once: the window still goes.
        genie_->show();
        genie_->speak("Words.");
        genie_->hide();
        genie_->stop();
        QTRY_VERIFY(!genie_->stage().isVisible());
        QVERIFY(!genie_->isVisible());
    }

    void speechStartsWithTheFirstFrameOfTheAppearing() {
        loadGenie(2); // slow enough to outlast the appearing
        genie_->hide();
        QTRY_VERIFY(!genie_->stage().isVisible());
        QStringList animationAtSpeech;
        connect(&genie_->requests(), &RequestQueue::utteranceStarted, genie_,
                [&] { animationAtSpeech << genie_->animation(); });

        genie_->show();
        genie_->speak("Straight away, said the genie.");
        QCOMPARE(animationAtSpeech, QStringList{"Show"});
        QVERIFY(genie_->stage().isVisible());
        // The appearing plays to its end, then the character speaks.
        QTRY_COMPARE(genie_->animation(), QString("Speaking"));
        genie_->stop();
        QCOMPARE(genie_->animation(), QString("Idle"));

        // Shown again while going: it comes straight back and speaks at once.
        genie_->hide();
        QCOMPARE(genie_->animation(), QString("Hide"));
        genie_->show();
        genie_->speak("Back again.");
        QCOMPARE(animationAtSpeech, (QStringList{"Show", "Show"}));
        // The appearing outlasts what was left of the hiding: once it has played to its end,
        // the hiding's own end has come and gone.
        QTRY_COMPARE(genie_->animation(), QString("Speaking"));
        QVERIFY(genie_->stage().isVisible());
        genie_->stop();
    }

    void balloonFollowsItsStyle() {
        loadGenie(20); // slow enough to see words arrive one by one
        genie_->setBalloonStyle(0);
        genie_->speak("Nobody sees this.");
        QVERIFY(!genie_->balloon().isVisible());
        genie_->stop();

        genie_->setBalloonStyle(BalloonOn | BalloonAutoPace | BalloonSizeToText);
        genie_->speak("Short words come one at a time here.");
        QCOMPARE(genie_->balloon().shownText(), QString("Short"));
        QTRY_COMPARE(genie_->balloon().shownText(),
                     QString("Short words come one at a time here."));
        const int longWidth = genie_->balloon().width();
        QTRY_VERIFY(!genie_->requests().isBusy());
        QTest::qWait(SpeechBalloon::AutoHideDelayMs + 200);
        QVERIFY(genie_->balloon().isVisible()); // no auto-hide: it stays

        genie_->speak("Hi.");
        QVERIFY(genie_->balloon().width() < longWidth); // sized to the text
        genie_->stop();

        genie_->setBalloonStyle(BalloonOn | BalloonAutoHide);
        genie_->speak("Fixed size.");
        const int fixedWidth = genie_->balloon().width();
        genie_->stop();
        genie_->speak("A fixed balloon keeps its size whatever the text holds.");
        QCOMPARE(genie_->balloon().width(), fixedWidth);
        QTRY_VERIFY_WITH_TIMEOUT(!genie_->balloon().isVisible(), 10000);
    }

    void dragClickAndProgramMovesReportTheirCause() {
        loadGenie(1000);
        CharacterStage& stage = genie_->stage();
        QSignalSpy moved(genie_, &Character::moved);
        QSignalSpy clicked(genie_, &Character::clicked);

        genie_->setPosition({300, 250});
        QCOMPARE(genie_->position(), QPoint(300, 250));
        QCOMPARE(moved.count(), 1);
        QCOMPARE(moved.takeFirst(), QVariantList({300, 250, int(MovedByProgram)}));
        genie_->setPosition({300, 250}); // no change, no notice
        QCOMPARE(moved.count(), 0);

        QTest::mousePress(&stage, Qt::LeftButton, {}, QPoint(20, 30));
        QTest::mouseMove(&stage, QPoint(70, 60));
        QTest::mouseRelease(&stage, Qt::LeftButton, {}, QPoint(20, 30));
        QCOMPARE(genie_->position(), QPoint(350, 280));
        QCOMPARE(moved.count(), 1);
        QCOMPARE(moved.takeFirst(), QVariantList({350, 280, int(MovedByUser)}));
        QCOMPARE(clicked.count(), 0); // a drag is not a click

        QTest::mouseClick(&stage, Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 12));
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.takeFirst(), QVariantList({1, 1, 360, 292}));
        QCOMPARE(moved.count(), 0);
    }

    void rightClickMenuRunsCustomCommands() {
        loadGenie(1000);
        genie_->addCommand("Old", "Old entry");
        genie_->removeAllCommands();
        genie_->addCommand("AdvCharOptions", "&Advanced Character Options");
        QSignalSpy commands(genie_, &Character::command);
        QSignalSpy clicked(genie_, &Character::clicked);

        QTest::mouseClick(&genie_->stage(), Qt::RightButton, {}, QPoint(30, 30));
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.first().at(0).toInt(), 2);
        QTRY_VERIFY(genie_->menu().isVisible());
        QVERIFY(!genie_->menu().findChild<QAction*>("Old"));
        auto* options = genie_->menu().findChild<QAction*>("AdvCharOptions");
        QVERIFY(options);
        QCOMPARE(options->text(), QString("&Advanced Character Options"));
        options->trigger();
        QCOMPARE(commands.count(), 1);
        QCOMPARE(commands.first().at(0).toString(), QString("AdvCharOptions"));
        genie_->menu().hide();
    }

    void propertySheetKeepsTheVoiceChoice() {
        loadGenie(1000);
        genie_->showPropertySheet();
        CharacterPropertySheet* sheet = genie_->propertySheet();
        QVERIFY(sheet);
        QTRY_VERIFY(sheet->isVisible());
        QCOMPARE(sheet->windowTitle(), QString("Character Options"));
        auto* engine = sheet->findChild<QComboBox*>("EngineBox");
        auto* rate = sheet->findChild<QSlider*>("RateSlider");
        auto* volume = sheet->findChild<QSlider*>("VolumeSlider");
        QVERIFY(engine && rate && volume);
        QVERIFY(rate->maximum() >= 100); // up to twice the normal pace
        engine->setCurrentIndex(engine->findData("silent"));
        rate->setValue(100);
        volume->setValue(40);
        sheet->findChild<QPushButton*>("TestButton")->click();
        sheet->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        QVERIFY(!sheet->isVisible());

        const VoiceSettings kept = VoiceSettings::load(home_.filePath("voice.conf"));
        QCOMPARE(kept.engine, QString("silent"));
        QCOMPARE(kept.rate, 1.0);
        QCOMPARE(kept.volume, 0.4);
        // The character speaks with the new choice from now on.
        QCOMPARE(genie_->requests().voice().msPerWord(), 1);

        genie_->showPropertySheet(); // opens again with what was kept
        QCOMPARE(rate->value(), 100);
        sheet->reject();
    }

    void setSizeScalesTheArt() {
        loadGenie(1000);
        QCOMPARE(genie_->size(), QSize(128, 160));
        genie_->setSize({64, 80});
        QCOMPARE(genie_->size(), QSize(64, 80));
        const QImage small = genie_->stage().grab().toImage();
        QCOMPARE(small.size(), QSize(64, 80) * small.devicePixelRatio());
        genie_->setSize({384, 480});
        QCOMPARE(genie_->stage().size(), QSize(384, 480));
        const QImage large = genie_->stage().grab().toImage();
        // The art fills the window at any size: the face sits near the middle.
        QVERIFY(qAlpha(small.pixel(small.width() / 2, small.height() * 62 / 160)) > 200);
        QVERIFY(qAlpha(large.pixel(large.width() / 2, large.height() * 62 / 160)) > 200);
        QCOMPARE(qAlpha(large.pixel(2, 2)), 0); // see-through around the art
        genie_->setSize({0, -5});
        QVERIFY(genie_->size().width() > 0 && genie_->size().height() > 0);
        genie_->setSize({100000, 100000});
        QVERIFY(genie_->size().width() <= 4096);
    }
};

QTEST_MAIN(DesktopCharacterTest)
#include "tst_desktopcharacter.moc"
