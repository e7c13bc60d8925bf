// Writes a small corpus of good inputs for each fuzz target into the folder given:
// seeds/<target>/..., from which the fuzzer starts mutating.
#include "pdfpages/PdfPageMessages.h"
#include "platform/link/OpenRequestFrame.h"
#include "recognition/WordBoxBlob.h"
#include "settings/SettingsFile.h"
#include "support/ImportFiles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>

namespace {

bool write(const QDir& root, const QString& target, const QString& name, const QByteArray& bytes) {
    if (!root.mkpath(target))
        return false;
    QFile file(root.filePath(target + QLatin1Char('/') + name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QImage sample(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(190, 60, 40));
    QPainter(&image).fillRect(size.width() / 2, 0, size.width(), size.height(),
                              QColor(30, 90, 200));
    return image;
}

QByteArray encoded(const QImage& image, const char* format, bool progressive = false) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        qWarning("usage: make_fuzz_seeds FOLDER");
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    bool ok = true;

    folimar::settings::Settings settings;
    settings.BookPath = QStringLiteral("/home/ann/books/first.fmr");
    ok &= write(root, "settings_line", "default.ini",
                folimar::settings::FolimarSettingsLine(settings));

    ok &= write(root, "registry_store", "app-paths.reg",
                "Windows Registry Editor Version 5.00\r\n\r\n"
                "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App "
                "Paths\\Folimar.exe]\r\n@=\"/opt/folimar/folimar\"\r\n"
                "\"Path\"=hex(2):2f,00,6f,00,70,00,74,00,00,00\r\n");

    using folimar::platform::EncodeOpenRequest;
    ok &= write(root, "link_frame", "two-requests",
                QByteArray(1, '\x07') + EncodeOpenRequest(QStringLiteral("/books/one.fmr")) +
                    EncodeOpenRequest(QStringLiteral("/home/ann/B\u00fccher/two.fmr")));

    ok &= write(root, "character_file", "tiny.acs", R"({
  "format": "folimar-character", "version": 1, "name": "Seed", "width": 40, "height": 50,
  "frames": {
    "rest": [{"svg": "<svg xmlns='http://www.w3.org/2000/svg' width='20' height='20'><rect width='20' height='20' fill='#3a6'/></svg>"}],
    "file": ["art/a.svg"]
  },
  "animations": {
    "Idle": {"frames": ["rest", "file"], "interval": 100, "loop": true},
    "Speaking": {"frames": ["rest"]}, "Show": {"frames": ["rest"]}, "Hide": {"frames": ["file"]}
  }
})");

    const QImage small = sample({9, 7});
    ok &= write(root, "bmp_layout", "rgb24.bmp",
                encoded(small.convertToFormat(QImage::Format_RGB888), "BMP"));
    ok &= write(root, "bmp_layout", "rgb32.bmp", encoded(small, "BMP"));

    const QImage page = sample({48, 32});
    ok &= write(root, "jpeg_decoder", "baseline.jpg", encoded(page, "JPEG"));
    ok &= write(root, "jpeg_decoder", "progressive.jpg", encoded(page, "JPEG", true));
    ok &= write(root, "jpeg_decoder", "grey.jpg",
                encoded(page.convertToFormat(QImage::Format_Grayscale8), "JPEG"));
    ok &= write(root, "jpeg_decoder", "page.png", encoded(page, "PNG"));

    ok &= write(root, "paste_filter", "page.html",
                "<html><head><style>p { color: red }</style></head><body>"
                "<h1>Title</h1><p>One <b>bold</b> and <i>slanted</i> word.<br>Next line.</p>"
                "<ul><li>First</li><li>Second<ol><li>Inner</li></ol></li></ul>"
                "<table><tr><td>cell</td><td><u>under</u></td></tr></table>"
                "<p><img src=\"data:image/png;base64," +
                    encoded(small, "PNG").toBase64() +
                    "\" width=\"4\"><img src=\"file:///etc/hostname\"></p></body></html>");
    // Word lists, one word per byte, the two lists parted by a zero byte.
    ok &= write(root, "word_alignment", "corrected",
                QByteArray("the cat sat on the mat it was warm") + '\0' +
                    QByteArray("the cat sat on a mat and it was warm there"));
    ok &= write(root, "word_alignment", "unlike",
                QByteArray("abcdefghabcdefgh") + '\0' + QByteArray("hgfedcbahgfedcba"));
    const QByteArray twoWords = folimar::recognition::encodeWordBoxes(
        {QStringLiteral("Two w\u00f6rds"),
         {{QRect(10, 20, 30, 40), 0, 3, 91}, {QRect(50, 20, 60, 40), 4, 5, 38}}});
    ok &= write(root, "word_box_blob", "two-words", twoWords);
    // The same page as stored before the words' confidences were kept.
    QByteArray withoutConfidences = twoWords.left(8);
    withoutConfidences[3] = 2;
    for (int word = 0; word < 2; ++word)
        withoutConfidences += twoWords.mid(8 + word * 28, 24);
    withoutConfidences += twoWords.mid(8 + 2 * 28);
    ok &= write(root, "word_box_blob", "two-words-before-confidences", withoutConfidences);

    // A PDF page helper's answers while a two-page PDF is planned and its first page made.
    using namespace folimar::pdfpages;
    const auto framed = [](const Reply& reply) { return frame(encodeReply(reply)); };
    ok &= write(root, "pdf_page_replies", "plan-and-page",
                framed(Opened{2, false}) +
                    framed(PageLayout{QSizeF(612, 792),
                                      {{QStringLiteral("Two"), QRectF(72, 72, 30, 12), false},
                                       {QStringLiteral("w\u00f6rds"), QRectF(106, 72, 40, 12),
                                        true}}}) +
                    framed(Drawn{sample({8, 6})}));
    ok &= write(root, "pdf_page_replies", "locked-then-refused",
                framed(Opened{0, true}) +
                    framed(Refused{QStringLiteral("the page cannot be read")}) +
                    frame(encodeRequest(DrawRequest{1, 150})));
    // Three pictures in a chain; the same with the last pointing back to the first.
    const QString tiff = root.filePath(QStringLiteral("three.tiff"));
    ok &= folimar::testing::writeMultiPageTiff(
        tiff, {sample({6, 4}), sample({3, 5}), small.convertToFormat(QImage::Format_Grayscale8)});
    QFile chain(tiff);
    ok &= chain.open(QIODevice::ReadOnly);
    const QByteArray three = chain.readAll();
    chain.remove();
    ok &= write(root, "tiff_directories", "three.tiff", three);
    QByteArray loop = three;
    const qsizetype lastPointer = loop.size() - 4;
    loop.replace(lastPointer, 4, loop.mid(4, 4));
    ok &= write(root, "tiff_directories", "loop.tiff", loop);
    // The names of files, then after a zero byte what each of them holds.
    ok &= write(root, "import_plan", "pages",
                "page10.png\npage2.png\nPage1.PNG\nnotes.txt" + QByteArray(1, '\0') +
                    encoded(small, "PNG"));
    ok &= write(root, "import_plan", "tiff", "scan.tif" + QByteArray(1, '\0') + three);
    ok &= write(root, "audio_command", "book-range",
                QByteArray("\x01") + "Book.fmr" + '\0' + "out.opus" + '\0' + "--topics" + '\0' +
                    "3-17");
    ok &= write(root, "audio_command", "text", QByteArray("\x00in.txt", 7) + '\0' + "out.wav");
    return ok ? 0 : 1;
}
