// The doubtful words' marks in the whole program follow the page's picture: the
// recognition's confidences go with the boxes they came with.
#include "ProgramRig.h"
#include "reader/ReaderTextEdit.h"
#include "reader/ReaderWindow.h"
#include "recognition/WordBoxBlob.h"
#include "settings/Settings.h"
#include "support/CraftedJpeg.h"
#include "store/BookStore.h"
#include "support/ScriptedDialogs.h"

#include <QFile>
#include <QImage>
#include <QTest>

using folimar::testing::ProgramRig;

namespace {

using Marks = QList<QPair<int, int>>;

// A book of one page read as `text`, its words (between spaces) with these confidences
// and boxes side by side on its picture.
void makeReadBook(const QString& path, const QString& text, const QList<int>& confidences) {
    QImage picture(600, 100, QImage::Format_RGB32);
    picture.fill(Qt::white);
    const QByteArray jpeg = folimar::testing::jpegBytes(picture);
    QVERIFY(!jpeg.isEmpty());
    folimar::recognition::PageText read{text, {}};
    qint32 offset = 0;
    const QStringList words = text.split(u' ');
    for (qsizetype i = 0; i < words.size(); ++i) {
        read.words.append({QRect(int(i) * 100, 10, 80, 30), offset, qint32(words[i].size()),
                           confidences.value(i, 95)});
        offset += qint32(words[i].size()) + 1;
    }
    QTemporaryDir scratch;
    folimar::settings::Settings settings;
    folimar::testing::ScriptedDialogs dialogs;
    folimar::store::BookStore maker{settings, {scratch.path(), scratch.path()}, dialogs};
    maker.LoadBook();
    maker.storeTopic({1, QStringLiteral("Page"), text, jpeg, std::nullopt,
                      folimar::recognition::encodeWordBoxes(read)});
    maker.CloseAndCompactBook();
    QVERIFY(QFile::rename(maker.untitledBookPath(), path));
}

} // namespace

class DoubtfulMarks : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void confidenceMarksGoWithThePicture();
};

// A word the recognition was unsure of is marked while its picture is shown; the picture
// cleared (or cut), its boxes go, and the mark with them.
void DoubtfulMarks::confidenceMarksGoWithThePicture() {
    for (const bool cut : {false, true}) {
        ProgramRig rig;
        const QString book = rig.root.filePath(QStringLiteral("Read.fmr"));
        makeReadBook(book, QStringLiteral("The cat sat."), {95, 5, 95});
        rig.start(book);
        const auto& text =
            *qobject_cast<folimar::reader::ReaderTextEdit*>(rig.program().readerWindow().Text1);
        QTRY_COMPARE(text.doubtfulMarks(), (Marks{{4, 3}}));
        if (cut)
            rig.key(rig.bookWindow(), Qt::Key_X, Qt::ControlModifier);
        else
            rig.command(rig.bookWindow(), "mnuClear");
        QTRY_VERIFY2(text.doubtfulMarks().isEmpty(), cut ? "cut" : "cleared");
        rig.quit();
    }
}

QTEST_MAIN(DoubtfulMarks)
#include "tst_doubtfulmarks.moc"
