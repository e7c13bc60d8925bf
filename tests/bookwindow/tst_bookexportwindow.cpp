#include "BookWindowRig.h"
#include "bookwindow/BookExportWindow.h"

#include <QAction>
#include <QBuffer>
#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

using namespace folimar;
using testing::BookWindowRig;

class TestBookExportWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // File > Export > Searchable PDF saves the chosen topics with progress; a second save
    // of a range replaces the first file once it is complete.
    void savesTheBookFromTheMenu() {
        BookWindowRig rig;
        QByteArray picture; // of topic 2, read from the book as the export goes
        QBuffer buffer(&picture);
        buffer.open(QIODevice::WriteOnly);
        QImage(40, 30, QImage::Format_RGB32).save(&buffer, "JPG");
        for (const int number : {1, 2, 3})
            QVERIFY(rig.store
                        .storeTopic({number,
                                     QStringLiteral("T%1").arg(number),
                                     QStringLiteral("Text of topic %1.").arg(number),
                                     number == 2 ? picture : QByteArray(),
                                     std::nullopt})
                        .isOk());
        rig.window->findChild<QAction*>(QStringLiteral("mnuExportPdf"))->trigger();
        auto* window =
            rig.window->findChild<bookwindow::BookExportWindow*>(QStringLiteral("frmExportBook"));
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->txtToTopic->value(), 3);

        const QString path = rig.root.filePath(QStringLiteral("out"));
        for (const bool range : {false, true}) {
            window->txtFromTopic->setValue(2); // choosing the range
            (range ? window->optTopics : window->optBook)->setChecked(true);
            rig.dialogs.fileAnswers.enqueue(path);
            window->cmdSave->click();
            QCOMPARE(window->cmdCancel->text(), QStringLiteral("&Cancel"));
            QTRY_COMPARE(window->lblStatus->text(), QStringLiteral("Saved as out.pdf."));
            QCOMPARE(window->prgExport->value(), 1000);
            QFile saved(path + QStringLiteral(".pdf"));
            QVERIFY(saved.open(QIODevice::ReadOnly));
            const QByteArray bytes = saved.readAll();
            QVERIFY(bytes.startsWith("%PDF-"));
            QCOMPARE(bytes.count("/Type /Page\n"), range ? 2 : 3);
            QVERIFY(bytes.contains(picture));
        }
        QCOMPARE(rig.dialogs.fileRequests.last().fileName, QStringLiteral("untitled.pdf"));
        QVERIFY(!window->chkPictures); // pictures are the read-along book's choice

        rig.window->findChild<QAction*>(QStringLiteral("mnuExportEpub"))->trigger();
        const auto windows = rig.window->findChildren<bookwindow::BookExportWindow*>();
        QCOMPARE(windows.size(), 2);
        QCOMPARE(windows.last()->windowTitle(), QStringLiteral("Read-along Book (EPUB 3)"));
        QVERIFY(windows.last()->chkPictures && !windows.last()->chkPictures->isChecked());
    }
};

QTEST_MAIN(TestBookExportWindow)
#include "tst_bookexportwindow.moc"
