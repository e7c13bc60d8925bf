// The options window writes each choice at once; the help viewer shows the help file as it
// is each time it is activated.
#include "reader/CentredWindow.h"
#include "reader/CharacterHost.h"
#include "reader/HelpViewer.h"
#include "reader/OptionsWindow.h"
#include "reader/RecognitionOptions.h"
#include "reader/ReaderState.h"
#include "reader/WindowArrangement.h"
#include "recognition/RecognitionSettings.h"
#include "settings/Settings.h"
#include "support/ScriptedCharacterService.h"
#include "support/ScriptedDialogs.h"

#include <QButtonGroup>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

using namespace folimar;
using namespace folimar::testing;
using reader::ReaderProfile;

namespace {

struct OptionsRig {
    explicit OptionsRig(ReaderProfile profile = ReaderProfile::Folimar)
        : window(profile, settings, host, dialogs, QStringLiteral("/opt/folimar/characters")) {
        window.show();
    }
    QAbstractButton* option(const QString& array, int value) const {
        auto* group = window.findChild<QButtonGroup*>(array);
        return group ? group->button(value) : nullptr;
    }
    ScriptedCharacter& loadCharacter() {
        host.ensureLoaded();
        return *service.last();
    }

    reader::ReaderState state;
    settings::Settings settings;
    ScriptedCharacterService service;
    ScriptedDialogs dialogs;
    reader::CharacterHost host{state, settings, service, dialogs};
    reader::OptionsWindow window;
};

// A click on the option's round indicator.
void clickOption(QAbstractButton* option) {
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(6, option->height() / 2));
}

QStringList frameTitles(const QWidget& window) {
    QStringList titles;
    for (const QGroupBox* box : window.findChildren<QGroupBox*>())
        titles.append(box->title());
    return titles;
}

} // namespace

class OptionsWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void windowBesideAnotherStaysOnScreen_data();
    void windowBesideAnotherStaysOnScreen();
    void optionsWriteTheirSettingsAtOnce_data();
    void languagesInstalledMeanwhileAreOffered();
    void optionsWriteTheirSettingsAtOnce();
    void vocimarShowsOnlyItsGroups();
    void qualityStaysInItsRange();
    void sizeSliderResizesTheCharacterAtOnce();
    void browseReloadsTheCharacterUnlessCancelled();
    void locateMovesTheCharacterAndRemembersIt();
    void escapeClosesTheWindows();
    void pageTextChoicesAreSavedApart();
    void optionsOpenWhollyOnTheOwnersScreen();
    void helpIsReadAgainOnEachActivation();
    void unreadableHelpIsReportedAndKeepsTheText();
};

void OptionsWindowTest::optionsWriteTheirSettingsAtOnce_data() {
    QTest::addColumn<QString>("array");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("value");
    QTest::newRow("Continuous") << "Option1"
                                << "Continuous" << 2;
    QTest::newRow("All") << "Option1"
                         << "All" << 1;
    QTest::newRow("repeat On") << "Option3"
                               << "On" << 1;
    QTest::newRow("caps Yes") << "Option4"
                              << "Yes" << 1;
    QTest::newRow("startup No") << "Option5"
                                << "No" << 1;
    QTest::newRow("agent Saved") << "Option2"
                                 << "Saved" << 1;
    QTest::newRow("zoom Fit") << "Option6"
                              << "Fit" << 1;
    QTest::newRow("word mark No") << "Option7"
                                  << "No" << 1;
    QTest::newRow("sentence ends") << "Option8"
                                   << "Full stops, ? ! and paragraph ends" << 1;
}

void OptionsWindowTest::optionsWriteTheirSettingsAtOnce() {
    QFETCH(QString, array);
    QFETCH(QString, caption);
    QFETCH(int, value);
    OptionsRig rig;
    QCOMPARE(rig.window.windowTitle(), QStringLiteral("Folimar Options"));
    const auto setting = [&]() -> int {
        const settings::Settings& s = rig.settings;
        const QHash<QString, int> fields{
            {"Option1", s.PlayTopicsMode}, {"Option3", s.RepeatMode},    {"Option4", s.CapsAsSmall},
            {"Option5", s.PlayAtStartup},  {"Option2", s.AgentStartPos}, {"Option6", s.DefaultZoom},
            {"Option7", s.SpokenWordMark}, {"Option8", s.SentenceEnds}};
        return fields.value(array, -1);
    };
    QAbstractButton* chosen = rig.option(array, value);
    QVERIFY(chosen);
    QCOMPARE(chosen->text(), caption);
    QVERIFY(rig.option(array, 0)->isChecked()); // every default is the first choice
    clickOption(chosen);
    QCOMPARE(setting(), value);

    // Opened again, the window shows the setting as it is.
    rig.window.close();
    rig.window.show();
    QVERIFY(rig.option(array, value)->isChecked());
    // Choosing "Saved" does not move a character that is there.
    QCOMPARE(rig.service.loads.size(), 0);
}

void OptionsWindowTest::vocimarShowsOnlyItsGroups() {
    OptionsRig rig(ReaderProfile::Vocimar);
    QCOMPARE(rig.window.windowTitle(), QStringLiteral("Vocimar Options"));
    QStringList titles = frameTitles(rig.window);
    titles.sort();
    QCOMPARE(titles, (QStringList{"Character", "Play Caps as Small letters", "Sentance Repeat Mode",
                                  "Sentences end at", "Underline the Spoken Word"}));
    QVERIFY(!rig.window.findChild<QButtonGroup*>(QStringLiteral("Option1")));
    QVERIFY(!rig.window.Text2);
    clickOption(rig.option(QStringLiteral("Option3"), 1));
    QCOMPARE(rig.settings.RepeatMode, qint16(1));
}

void OptionsWindowTest::qualityStaysInItsRange() {
    OptionsRig rig;
    QLineEdit& quality = *rig.window.Text2;
    QCOMPARE(quality.text(), QStringLiteral("75"));
    rig.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&rig.window)); // focus changes reach the boxes
    quality.setFocus();
    QCOMPARE(rig.window.focusWidget(), &quality);
    quality.clear();
    QTest::keyClicks(&quality, QStringLiteral("100"));
    QCOMPARE(quality.text(), QStringLiteral("100"));
    QCOMPARE(rig.settings.PasteQuality, QStringLiteral("100"));

    // Remembered when the box gets the focus; an out-of-range number brings it back.
    rig.window.Text1->setFocus();
    quality.setFocus();
    QTest::keyClick(&quality, Qt::Key_End);
    QTest::keyClick(&quality, Qt::Key_Backspace);    // "10"
    QTest::keyClicks(&quality, QStringLiteral("1")); // "101"
    QCOMPARE(quality.text(), QStringLiteral("100"));
    QCOMPARE(rig.settings.PasteQuality, QStringLiteral("100"));

    QTest::keyClick(&quality, Qt::Key_Home);
    QTest::keyClicks(&quality, QStringLiteral("-")); // "-100"
    QCOMPARE(quality.text(), QStringLiteral("100"));
    quality.selectAll();
    QTest::keyClicks(&quality, QStringLiteral("x")); // not a number at all
    QCOMPARE(quality.text(), QStringLiteral("100"));

    quality.selectAll();
    QTest::keyClick(&quality, Qt::Key_Delete); // emptied, then left
    QCOMPARE(quality.text(), QString());
    rig.window.Text1->setFocus();
    QCOMPARE(quality.text(), QStringLiteral("100"));
    QCOMPARE(rig.settings.PasteQuality, QStringLiteral("100"));
}

void OptionsWindowTest::sizeSliderResizesTheCharacterAtOnce() {
    OptionsRig rig;
    ScriptedCharacter& character = rig.loadCharacter();
    QCOMPARE(character.size(), QSize(128, 128));
    rig.window.Slider1->setFocus();
    QTest::keyClick(rig.window.Slider1, Qt::Key_Left);
    QTest::keyClick(rig.window.Slider1, Qt::Key_Left);
    QCOMPARE(rig.settings.CharacterSize, qint16(-2));
    QCOMPARE(character.size(), QSize(64, 64));
    rig.window.Slider1->setValue(3);
    QCOMPARE(character.size(), QSize(384, 384));
    rig.window.Slider1->setValue(0);
    QCOMPARE(rig.settings.CharacterSize, qint16(0));
    QCOMPARE(character.size(), QSize(128, 128));
    rig.window.Slider1->setValue(9); // the slider keeps to -5..5
    QCOMPARE(rig.settings.CharacterSize, qint16(5));
}

void OptionsWindowTest::browseReloadsTheCharacterUnlessCancelled() {
    OptionsRig rig;
    ScriptedCharacter& genie = rig.loadCharacter();
    QCOMPARE(rig.window.Text1->text(), QStringLiteral("Genie"));

    QTest::mouseClick(rig.window.Command1, Qt::LeftButton); // cancelled
    QCOMPARE(rig.dialogs.fileRequests.size(), 1);
    QCOMPARE(rig.dialogs.fileRequests[0].startFolder, QStringLiteral("/opt/folimar/characters"));
    QCOMPARE(rig.dialogs.fileRequests[0].filter, QStringLiteral("Characters (*.acs)"));
    QCOMPARE(rig.service.last(), &genie);
    QCOMPARE(rig.settings.CharacterPath, QStringLiteral("Genie"));

    rig.dialogs.fileAnswers.enqueue(QStringLiteral("/home/me/Mossbit.acs"));
    QTest::mouseClick(rig.window.Command1, Qt::LeftButton);
    QVERIFY(rig.service.last() != nullptr);
    QCOMPARE(rig.service.last()->name(), QStringLiteral("Mossbit"));
    QCOMPARE(rig.window.Text1->text(), QStringLiteral("Mossbit"));
    QCOMPARE(rig.settings.CharacterPath, QStringLiteral("/home/me/Mossbit"));

    rig.service.missing.insert(QStringLiteral("/home/me/Broken.acs"));
    rig.dialogs.fileAnswers.enqueue(QStringLiteral("/home/me/Broken.acs"));
    QTest::mouseClick(rig.window.Command1, Qt::LeftButton);
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QCOMPARE(rig.dialogs.messages[0].text,
             QStringLiteral("There was an error opening the file /home/me/Broken.acs"));
}

void OptionsWindowTest::locateMovesTheCharacterAndRemembersIt() {
    OptionsRig rig;
    ScriptedCharacter& character = rig.loadCharacter();
    QTest::mouseClick(rig.window.Command2, Qt::LeftButton);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int offset = reader::TwipsToPixels(1000, screen->logicalDotsPerInch());
    const QRect area = screen->geometry();
    const QPoint expected(area.x() + area.width() / 2 - offset,
                          area.y() + area.height() / 2 - offset);
    QCOMPARE(character.position(), expected);
    QCOMPARE(QPoint(rig.settings.AgentLeft, rig.settings.AgentTop), expected);
}

void OptionsWindowTest::escapeClosesTheWindows() {
    OptionsRig rig;
    QVERIFY(QTest::qWaitForWindowActive(&rig.window));
    QTest::keyClick(rig.window.Text2, Qt::Key_Escape);
    QVERIFY(!rig.window.isVisible());

    ScriptedDialogs dialogs;
    reader::HelpViewer help(dialogs, QStringLiteral("/nonexistent/help.dat"));
    help.open();
    QVERIFY(QTest::qWaitForWindowActive(&help));
    QTest::keyClick(help.Text1, Qt::Key_Escape);
    QVERIFY(!help.isVisible());
}

// The page text choices live in their own file, not in the settings line.
void OptionsWindowTest::pageTextChoicesAreSavedApart() {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("recognition.conf"));
    OptionsRig rig;
    rig.window.addRecognitionOptions(path);
    rig.window.showSettings();
    // Unsaved: reading pasted pictures and straightening them, in the desktop's language or
    // English.
    QVERIFY(rig.option(QStringLiteral("optReadPasted"), 1)->isChecked());
    QVERIFY(rig.option(QStringLiteral("optStraighten"), 1)->isChecked());
    auto* languages = rig.window.findChild<QListWidget*>(QStringLiteral("lstTextLanguages"));
    QVERIFY(languages);
    const QList<QListWidgetItem*> english = languages->findItems("English (eng)", Qt::MatchExactly);
    QCOMPARE(english.size(), 1);
    QCOMPARE(english[0]->checkState(), Qt::Checked);

    clickOption(rig.option(QStringLiteral("optReadPasted"), 0));
    QCOMPARE(recognition::RecognitionSettings::load(path).readPastedPicture, false);
    english[0]->setCheckState(Qt::Unchecked);
    QCOMPARE(recognition::RecognitionSettings::load(path).languages, QString());
    english[0]->setCheckState(Qt::Checked);
    clickOption(rig.option(QStringLiteral("optStraighten"), 0));
    QCOMPARE(recognition::RecognitionSettings::load(path),
             (recognition::RecognitionSettings{false, QStringLiteral("eng"), true, false}));
}

// The owner stands in the screen's lower right corner; the options window opens in the middle
// of the owner's screen, wholly on it.
void OptionsWindowTest::optionsOpenWhollyOnTheOwnersScreen() {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget owner;
    owner.setGeometry(QRect(area.bottomRight() - QPoint(150, 100), QSize(400, 300)));
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));

    OptionsRig rig;
    reader::OptionsWindow options(ReaderProfile::Folimar, rig.settings, rig.host, rig.dialogs,
                                  QString(), &owner);
    options.show();
    QVERIFY(QTest::qWaitForWindowExposed(&options));
    QCoreApplication::processEvents();
    const QRect frame = options.frameGeometry();
    QVERIFY(frame != options.geometry()); // its frame is counted
    QVERIFY(area.contains(frame));
    QVERIFY((frame.center() - area.center()).manhattanLength() <= 2);
    // It is as wide as its choices: they scroll up and down only.
    const auto* scroll = options.findChild<QScrollArea*>(QStringLiteral("scrChoices"));
    QVERIFY(scroll);
    QVERIFY(!scroll->horizontalScrollBar()->isVisible());
}

void OptionsWindowTest::helpIsReadAgainOnEachActivation() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("help.dat"));
    const auto write = [&path](const QByteArray& text) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    };
    write("Folimar Help.\nPress F1 to read.\n");
    ScriptedDialogs dialogs;
    reader::HelpViewer help(dialogs, path);
    QCOMPARE(help.windowTitle(), QStringLiteral("Folimar Help Topics"));
    QCOMPARE(help.geometry(),
             reader::CentredOnScreen(QGuiApplication::primaryScreen()->geometry(), 0.75, 0.5));
    help.open();
    QVERIFY(QTest::qWaitForWindowActive(&help));
    QCOMPARE(help.Text1->toPlainText(), QStringLiteral("Folimar Help.\nPress F1 to read.\n"));
    QVERIFY(help.Text1->isReadOnly());

    QTest::keyClick(help.Text1, Qt::Key_End, Qt::ControlModifier);
    QVERIFY(help.Text1->textCursor().position() > 0);
    write("Changed help.\n");
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    help.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&help));
    QCOMPARE(help.Text1->toPlainText(), QStringLiteral("Changed help.\n"));
    QCOMPARE(help.Text1->textCursor().position(), 0);
    QVERIFY(dialogs.messages.isEmpty());
}

void OptionsWindowTest::unreadableHelpIsReportedAndKeepsTheText() {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    reader::HelpViewer help(dialogs, dir.filePath(QStringLiteral("help.dat")));
    help.Text1->setPlainText(QStringLiteral("Shown before."));
    help.reload();
    QCOMPARE(dialogs.messages.size(), 1);
    const platform::MessageRequest& shown = dialogs.messages[0];
    QCOMPARE(shown.title, QStringLiteral("Error"));
    QCOMPARE(shown.icon, platform::MessageIcon::Critical);
    QCOMPARE(shown.buttons, platform::MessageButtons::Ok);
    QCOMPARE(
        shown.text,
        QStringLiteral("Error %1 : No such file or directory\n%2")
            .arg(int(QFileDevice::OpenError))
            .arg(dir.filePath(QStringLiteral("help.dat"))));
    QCOMPARE(help.Text1->toPlainText(), QStringLiteral("Shown before."));

    help.setHelpFile(dir.path()); // a folder opens but cannot be read as a file
    help.reload();
    QCOMPARE(dialogs.messages.size(), 2);
    QVERIFY(dialogs.messages[1].text.startsWith(QStringLiteral("Error ")));
    QCOMPARE(help.Text1->toPlainText(), QStringLiteral("Shown before."));
}

// A language pack installed while the program runs is offered the next time the options
// are shown.
void OptionsWindowTest::languagesInstalledMeanwhileAreOffered() {
    QTemporaryDir tessdata;
    const auto install = [&tessdata](const char* language) {
        QFile pack(tessdata.filePath(QLatin1String(language) + QLatin1String(".traineddata")));
        QVERIFY(pack.open(QIODevice::WriteOnly));
    };
    install("eng");
    reader::RecognitionOptions options(tessdata.filePath(QStringLiteral("recognition.conf")),
                                       tessdata.path());
    auto* languages = options.findChild<QListWidget*>(QStringLiteral("lstTextLanguages"));
    QCOMPARE(languages->count(), 1);
    install("fra");
    options.showSettings();
    QCOMPARE(languages->count(), 2);
    QCOMPARE(languages->item(1)->data(Qt::UserRole).toString(), QStringLiteral("fra"));
}

void OptionsWindowTest::windowBesideAnotherStaysOnScreen_data() {
    QTest::addColumn<QRect>("neighbour");
    QTest::addColumn<QRect>("placed");
    const QSize notes(300, 200); // placed beside a list on a 1024 x 768 screen
    QTest::newRow("right of it") << QRect(100, 50, 400, 500) << QRect(QPoint(500, 50), notes);
    QTest::newRow("left of it, no room right")
        << QRect(600, 50, 400, 500) << QRect(QPoint(300, 50), notes);
    QTest::newRow("no room either side")
        << QRect(200, 600, 700, 300) << QRect(QPoint(724, 568), notes);
}

void OptionsWindowTest::windowBesideAnotherStaysOnScreen() {
    QFETCH(QRect, neighbour);
    QFETCH(QRect, placed);
    QCOMPARE(reader::BesideWithin(QSize(300, 200), neighbour, QRect(0, 0, 1024, 768)), placed);
}

QTEST_MAIN(OptionsWindowTest)
#include "tst_optionswindow.moc"
