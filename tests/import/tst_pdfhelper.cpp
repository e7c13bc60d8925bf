#include "import/BookImport.h"
#include "import/ImportPlan.h"
#include "pdfpages/PdfPageMessages.h"
#include "settings/Settings.h"
#include "store/BookStore.h"
#include "support/ImportFiles.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using namespace folimar;
using import::BookImport;
using import::ImportSummary;

namespace {

// A one-page PDF of a few KB whose page opens `depth` graphics states one inside the
// other, each of which the drawing keeps: some GB of memory and a minute to draw.
void writeNestedPdf(const QString& path, int depth) {
    QByteArray content;
    content.reserve(2 * qsizetype(depth));
    for (int i = 0; i < depth; ++i)
        content += "q ";
    const QByteArray deflated = qCompress(content, 9).mid(4); // a zlib stream, as PDFs keep
    const QList<QByteArray> objects{
        "<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R >>",
        "<< /Length " + QByteArray::number(deflated.size()) + " /Filter /FlateDecode >>\nstream\n" +
            deflated + "\nendstream"};
    QByteArray pdf = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    for (qsizetype i = 0; i < objects.size(); ++i) {
        offsets.append(pdf.size());
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (qsizetype offset : offsets)
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(pdf) == pdf.size());
}

void writePosterPdf(const QString& path) {
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QSizeF(200, 200), QPageSize::Inch));
    writer.setResolution(72);
    QPainter painter(&writer);
    painter.fillRect(QRect(100, 100, 5000, 5000), Qt::darkBlue);
}

// The PDF page helpers this process runs now.
int runningHelpers() {
    int count = 0;
    const QString parent = QString::number(getpid());
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid ..."
        const QString line = QString::fromLatin1(stat.readAll());
        const qsizetype nameEnd = line.lastIndexOf(u')');
        const QStringList after = line.mid(nameEnd + 2).split(u' ');
        if (line.contains(QStringLiteral("(folimar-pdfpage)")) && after.value(1) == parent &&
            after.value(0) != QLatin1String("Z"))
            ++count;
    }
    return count;
}

struct HelperBook {
    QTemporaryDir root;
    QString program = root.filePath(QStringLiteral("program"));
    settings::Settings settings;
    testing::ScriptedDialogs dialogs;
    store::BookStore store{settings, {program, program}, dialogs};

    HelperBook() {
        QDir().mkpath(program);
        store.StartStore();
    }
    QString file(const QString& name) const { return root.filePath(name); }
    BookImport::Setup setup(const import::PdfReading& reading) const {
        return {{75, {}, {}, import::ImportPagePixels, reading}, {}, 1};
    }
};

} // namespace

class PdfHelperTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pagesBeyondTheHelpersBoundsAreSkippedWithAReason_data();
    void pagesBeyondTheHelpersBoundsAreSkippedWithAReason();
    void cancelEndsTheHelperInTheMiddleOfAPage();
    void repliesAreReadWithinTheirBounds();
};

void PdfHelperTest::pagesBeyondTheHelpersBoundsAreSkippedWithAReason_data() {
    QTest::addColumn<bool>("nested");
    QTest::addColumn<qint64>("memory");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("reason");
    const qint64 mb = 1 << 20;
    QTest::newRow("nested states past the memory") << true << 300 * mb << 600 << QString();
    QTest::newRow("nested states past the time")
        << true << 4096 * mb << 1 << QStringLiteral("it took longer than 1 s to read");
    QTest::newRow("a poster page past the memory") << false << 200 * mb << 600 << QString();
}

// The helper gives up the page, or is ended, and the import goes on with the next file
// in a fresh one; nothing of the page is stored.
void PdfHelperTest::pagesBeyondTheHelpersBoundsAreSkippedWithAReason() {
    QFETCH(bool, nested);
    QFETCH(qint64, memory);
    QFETCH(int, seconds);
    QFETCH(QString, reason);
    if (memory < 1024 << 20 && qEnvironmentVariableIsSet("FOLIMAR_SANITIZED"))
        QSKIP("the address sanitizer's helper runs without a memory limit");
    HelperBook book;
    const QString hostile = book.file(QStringLiteral("hostile.pdf"));
    if (nested)
        writeNestedPdf(hostile, 1'000'000);
    else
        writePosterPdf(hostile);
    QVERIFY(QFileInfo(hostile).size() < 8192);
    const QString fine = book.file(QStringLiteral("fine.pdf"));
    testing::writeTextPdf(fine, {QStringLiteral("A page after it.")});

    auto run = std::make_unique<BookImport>(book.store, import::planImport({hostile, fine}, {}),
                                            book.setup({{}, memory, seconds}));
    QSignalSpy finished(run.get(), &BookImport::finished);
    QCOMPARE(run->start(), BookImport::Start::Started);
    QVERIFY(finished.wait(120'000));
    const ImportSummary summary = finished.first().first().value<ImportSummary>();
    run.reset();
    QCOMPARE(summary.imported, 1);
    QCOMPARE(summary.skipped.size(), 1);
    const QString skipped = summary.skipped.first();
    QVERIFY2(skipped.startsWith(QStringLiteral("hostile p.1 (")) && skipped.size() > 16,
             qPrintable(skipped));
    if (!reason.isEmpty())
        QCOMPARE(skipped, QStringLiteral("hostile p.1 (%1)").arg(reason));
    QCOMPARE(book.store.topicList().size(), 1);
    QCOMPARE(book.store.readTopic(1)->PicText, QStringLiteral("A page after it."));
    QCOMPARE(runningHelpers(), 0);
}

void PdfHelperTest::cancelEndsTheHelperInTheMiddleOfAPage() {
    HelperBook book;
    const QString hostile = book.file(QStringLiteral("slow.pdf"));
    writeNestedPdf(hostile, 1'000'000);
    auto run = std::make_unique<BookImport>(book.store, import::planImport({hostile}, {}),
                                            book.setup({{}, qint64(1024) << 20, 600}));
    QSignalSpy finished(run.get(), &BookImport::finished);
    QCOMPARE(run->start(), BookImport::Start::Started);
    QTRY_COMPARE_WITH_TIMEOUT(runningHelpers(), 1, 20'000);
    run->cancel();
    QCOMPARE(finished.size(), 1);
    QVERIFY(finished.first().first().value<ImportSummary>().cancelled);
    run.reset(); // waits for its worker, which the ended helper lets go
    QCOMPARE(runningHelpers(), 0);
}

// The program reads what the helper says with no trust in it: lengths and counts it
// cannot hold are refused before anything is made for them.
void PdfHelperTest::repliesAreReadWithinTheirBounds() {
    using namespace pdfpages;
    const auto fromBytes = [](const QByteArray& bytes) {
        return [bytes, at = qsizetype(0)](char* into, qsizetype size) mutable {
            if (size > bytes.size() - at)
                return false;
            std::memcpy(into, bytes.constData() + at, std::size_t(size));
            at += size;
            return true;
        };
    };
    QVERIFY(!readFrame(fromBytes(QByteArray("\xff\xff\xff\x7f", 4) + "o"), 1000));
    QCOMPARE(readFrame(fromBytes(frame("abc")), 3), QByteArray("abc"));

    for (const QColor colour : {QColor(Qt::red), QColor(Qt::gray)}) { // RGB, and grey
        QImage picture(3, 2, QImage::Format_RGB32);
        picture.fill(colour);
        const QByteArray drawn = encodeReply(Drawn{picture});
        QCOMPARE(
            std::get<Drawn>(*decodeReply(drawn, 6)).picture.convertToFormat(QImage::Format_RGB32),
            picture);
        QVERIFY(!decodeReply(drawn, 5));            // more pixels than allowed
        QVERIFY(!decodeReply(drawn.chopped(1), 6)); // a pixel cut short
    }

    const PageLayout layout{QSizeF(612, 792),
                            {{QStringLiteral("Two"), QRectF(10, 20, 30, 12), false},
                             {QStringLiteral("w\u00f6rds"), QRectF(44, 20, 40, 12), true}}};
    const QByteArray words = encodeReply(layout);
    const auto decoded = std::get<PageLayout>(*decodeReply(words, 0));
    QCOMPARE(decoded.points, layout.points);
    QVERIFY(decoded.words == layout.words);
    QByteArray manyWords = words;
    manyWords.replace(1 + 16, 4, QByteArray("\xff\xff\xff\x0f", 4)); // the count of words
    QVERIFY(!decodeReply(manyWords, 0));
    QVERIFY(!decodeReply(words + "x", 0));
}

QTEST_MAIN(PdfHelperTest)
#include "tst_pdfhelper.moc"
