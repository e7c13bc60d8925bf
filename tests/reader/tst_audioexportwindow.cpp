#include "ReaderWindowRig.h"
#include "reader/AudioExportWindow.h"
#include "settings/AudioExportFolder.h"

#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

using namespace folimar;
using namespace folimar::reader;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot | QDir::Hidden);
}

// A window over a book of three topics, numbered 2, 5 and 9, the second one shown.
struct ExportRig {
    explicit ExportRig(QString pageText = QStringLiteral("The shown page. It is short.")) {
        topics = {{2, QStringLiteral("Topic two"), QStringLiteral("Two is here."), {}, {}},
                  {5, QStringLiteral("Topic five"), QStringLiteral("Five is here."), {}, {}},
                  {9, QStringLiteral("Topic nine"), QStringLiteral("Nine is here."), {}, {}}};
        AudioExportWindow::Sources sources{[this] { return page; },
                                           [] { return QStringLiteral("Topic five"); },
                                           [this] { return topics; },
                                           [] { return QStringLiteral("Flood Book"); },
                                           [] {
                                               character::VoiceSettings voice;
                                               voice.rate = 1.0;
                                               return voice;
                                           },
                                           [] { return false; },
                                           [] { return sentences::SentenceEnds::FullStops; }};
        page = std::move(pageText);
        window = std::make_unique<AudioExportWindow>(ReaderProfile::Folimar, std::move(sources),
                                                     dialogs, folderSettings());
    }
    QString folderSettings() const { return config.filePath(QStringLiteral("export.conf")); }
    // Saves under `name` in the books folder, as the file dialog answers.
    void saveAs(const QString& name) {
        dialogs.fileAnswers.enqueue(name.isEmpty() ? QString() : books.filePath(name));
        QTest::mouseClick(window->cmdSave, Qt::LeftButton);
    }
    bool waitForEnd() {
        return QTest::qWaitFor([this] { return !window->isExporting(); }, 20000);
    }

    QTemporaryDir books;
    QTemporaryDir config;
    testing::ScriptedDialogs dialogs;
    QList<store::TopicPage> topics;
    QString page;
    std::unique_ptr<AudioExportWindow> window;
};

} // namespace

class TestAudioExportWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void savesThePageTheBookOrARangeAsChapters() {
        ExportRig rig;
        rig.window->open();
        QCOMPARE(rig.window->txtFromTopic->minimum(), 2);
        QCOMPARE(rig.window->txtToTopic->maximum(), 9);
        QVERIFY(rig.window->optPage->isChecked());

        // A range, touched by its bounds; the name without a suffix gets Opus's.
        rig.window->txtFromTopic->setValue(5);
        QVERIFY(rig.window->optTopics->isChecked());
        rig.saveAs(QStringLiteral("range"));
        QVERIFY(!rig.window->cmdSave->isEnabled());
        QVERIFY(rig.waitForEnd());
        QCOMPARE(rig.window->lblStatus->text(), QStringLiteral("Saved as range.opus."));
        QCOMPARE(rig.window->prgExport->value(), rig.window->prgExport->maximum());
        const QByteArray range = readAll(rig.books.filePath(QStringLiteral("range.opus")));
        QVERIFY(range.contains("TITLE=Flood Book"));
        QVERIFY(range.contains("CHAPTER001NAME=Topic five"));
        QVERIFY(range.contains("CHAPTER002NAME=Topic nine"));
        QVERIFY(!range.contains("CHAPTER003"));
        const platform::FileDialogRequest first = rig.dialogs.fileRequests.first();
        QCOMPARE(first.startFolder, QDir::homePath()); // nothing remembered yet
        QCOMPARE(first.fileName, QStringLiteral("Flood Book.opus"));
        QVERIFY(first.filter.contains("*.opus") && first.filter.contains("*.wav"));
        QVERIFY(first.confirmOverwrite);

        // The whole book, from the folder just used; the shown page alone.
        rig.window->optBook->setChecked(true);
        rig.saveAs(QStringLiteral("book.opus"));
        QVERIFY(rig.waitForEnd());
        QCOMPARE(rig.dialogs.fileRequests.last().startFolder, rig.books.path());
        QCOMPARE(settings::AudioExportFolder::load(rig.folderSettings()), rig.books.path());
        const QByteArray book = readAll(rig.books.filePath(QStringLiteral("book.opus")));
        QVERIFY(book.contains("CHAPTER001NAME=Topic two") &&
                book.contains("CHAPTER003NAME=Topic nine"));
        rig.window->optPage->setChecked(true);
        rig.saveAs(QStringLiteral("page.wav"));
        QVERIFY(rig.waitForEnd());
        QCOMPARE(rig.dialogs.fileRequests.last().fileName, QStringLiteral("Topic five.opus"));
        QVERIFY(readAll(rig.books.filePath(QStringLiteral("page.wav"))).startsWith("RIFF"));

        // A cancelled file dialog starts nothing.
        rig.saveAs(QString());
        QVERIFY(!rig.window->isExporting());
        QCOMPARE(filesIn(rig.books.path()), (QStringList{"book.opus", "page.wav", "range.opus"}));
        QVERIFY(rig.dialogs.messages.isEmpty());
    }

    void cancelClosingAndAFolderThatCannotBeWrittenLeaveNoFile() {
        ExportRig rig(QStringLiteral("A sentence to say again and again. ").repeated(300));
        rig.window->open();
        rig.saveAs(QStringLiteral("long.opus"));
        QCOMPARE(rig.window->cmdCancel->text(), QStringLiteral("&Cancel"));
        QTest::mouseClick(rig.window->cmdCancel, Qt::LeftButton);
        QVERIFY(rig.waitForEnd());
        QCOMPARE(rig.window->lblStatus->text(),
                 QStringLiteral("Cancelled: long.opus was not saved."));
        QCOMPARE(rig.window->cmdCancel->text(), QStringLiteral("&Close"));

        rig.saveAs(QStringLiteral("closed.opus"));
        rig.window->close();
        QVERIFY(rig.waitForEnd());
        QVERIFY(filesIn(rig.books.path()).isEmpty());
        QVERIFY(rig.dialogs.messages.isEmpty());

        // A folder that cannot hold files, even for the superuser: it is a file.
        QFile plain(rig.books.filePath(QStringLiteral("plain")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        rig.window->open();
        rig.saveAs(QStringLiteral("plain/page.opus"));
        QVERIFY(rig.waitForEnd());
        QCOMPARE(rig.dialogs.messages.size(), 1);
        const platform::MessageRequest said = rig.dialogs.messages.first();
        QCOMPARE(said.title, QStringLiteral("Save as Audio"));
        QCOMPARE(said.icon, platform::MessageIcon::Critical);
        QVERIFY2(said.text.contains(rig.books.filePath(QStringLiteral("plain"))),
                 qPrintable(said.text));
        QCOMPARE(filesIn(rig.books.path()), QStringList{"plain"});
    }

    void anEmptyBookOffersThePageAloneAndEscapeCloses() {
        ExportRig rig;
        rig.topics.clear();
        rig.window->open();
        QVERIFY(rig.window->optPage->isChecked());
        for (QWidget* choice : {static_cast<QWidget*>(rig.window->optBook),
                                static_cast<QWidget*>(rig.window->optTopics),
                                static_cast<QWidget*>(rig.window->txtFromTopic)})
            QVERIFY(!choice->isEnabled());
        rig.saveAs(QStringLiteral("page.opus"));
        QVERIFY(rig.waitForEnd());
        QVERIFY(!rig.window->optBook->isEnabled()); // still none after the export
        QTest::keyClick(rig.window.get(), Qt::Key_Escape);
        QVERIFY(!rig.window->isVisible());
    }

    void bothReaderWindowsOfferTheCommand() {
        testing::ReaderWindowRig folimarRig;
        QVERIFY(folimarRig.action("mnuSaveAudio"));

        testing::ReaderWindowRig vocimarRig(ReaderProfile::Vocimar);
        QTemporaryDir dir;
        vocimarRig.window->Text1->setPlainText(QStringLiteral("Pasted words. Read them."));
        vocimarRig.trigger("mnuSaveAudio");
        auto* window = vocimarRig.window->findChild<AudioExportWindow*>();
        QVERIFY(window && window->isVisible());
        QVERIFY(!window->optPage); // no book, no choice: the text
        vocimarRig.dialogs.fileAnswers.enqueue(dir.filePath(QStringLiteral("pasted.wav")));
        QTest::mouseClick(window->cmdSave, Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([window] { return !window->isExporting(); }, 20000));
        QCOMPARE(window->lblStatus->text(), QStringLiteral("Saved as pasted.wav."));
        QVERIFY(readAll(dir.filePath(QStringLiteral("pasted.wav"))).size() > 44 + 22050 / 2);
        QCOMPARE(vocimarRig.dialogs.fileRequests.first().fileName, QStringLiteral("speech.opus"));
    }
};

QTEST_MAIN(TestAudioExportWindow)
#include "tst_audioexportwindow.moc"
