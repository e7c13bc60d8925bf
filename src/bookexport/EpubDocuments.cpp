#include "bookexport/EpubDocuments.h"

#include <QLocale>
#include <QStringList>

namespace folimar::bookexport {

namespace {

const QString ActiveClass = QStringLiteral("-epub-media-overlay-active");

// Text fit for XML: markup characters escaped, characters XML cannot hold left out.
QString xml(const QString& text) {
    QString kept;
    kept.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            kept += c;
            kept += text[++i];
        } else if (c.isSurrogate() || c == QChar(0xFFFE) || c == QChar(0xFFFF) ||
                   (c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r')) {
            continue;
        } else {
            kept += c;
        }
    }
    return kept.toHtmlEscaped();
}

QString seconds(double value) {
    return QString::number(value, 'f', 3) + QLatin1Char('s');
}

QByteArray xhtml(const ReadAlongBook& book, const QString& title, const QString& body) {
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<!DOCTYPE html>\n"
               "<html xmlns=\"http://www.w3.org/1999/xhtml\" "
               "xmlns:epub=\"http://www.idpf.org/2007/ops\" lang=\"%1\" xml:lang=\"%1\">\n"
               "<head>\n<meta charset=\"UTF-8\"/>\n<title>%2</title>\n"
               "<link rel=\"stylesheet\" type=\"text/css\" href=\"style.css\"/>\n"
               "</head>\n<body>\n%3</body>\n</html>\n")
        .arg(book.language, xml(title), body)
        .toUtf8();
}

} // namespace

QString mediaClock(double value) {
    const auto ms = qint64(value * 1000 + 0.5);
    return QStringLiteral("%1:%2:%3.%4")
        .arg(ms / 3600000)
        .arg(ms / 60000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

QString bookLanguageOf(const QString& recognitionLanguages) {
    // The first language named; a variant ("chi_sim") by its language.
    const QString first = recognitionLanguages.section(QLatin1Char('+'), 0, 0)
                              .section(QLatin1Char('_'), 0, 0)
                              .trimmed()
                              .toLower();
    const QLocale::Language language = QLocale::codeToLanguage(first);
    if (first.isEmpty() || language == QLocale::AnyLanguage || language == QLocale::C)
        return QStringLiteral("und");
    const QString shortest = QLocale::languageToCode(language, QLocale::ISO639Part1);
    return shortest.isEmpty() ? QLocale::languageToCode(language, QLocale::ISO639Part2) : shortest;
}

QByteArray epubContainer() {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<container version=\"1.0\" xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\">\n"
           "<rootfiles>\n"
           "<rootfile full-path=\"EPUB/package.opf\" "
           "media-type=\"application/oebps-package+xml\"/>\n"
           "</rootfiles>\n"
           "</container>\n";
}

QByteArray epubStyle() {
    return "body { line-height: 1.5; }\n"
           "img { max-width: 100%; }\n"
           "." +
           ActiveClass.toUtf8() + " { background-color: #ffe98a; }\n";
}

QByteArray epubPackage(const ReadAlongBook& book) {
    QString metadata;
    QString manifest;
    QString spine;
    double total = 0;
    for (const ReadAlongPage& page : book.pages) {
        const QString& n = page.name;
        const bool sound = page.seconds > 0;
        manifest +=
            QStringLiteral("<item id=\"%1\" href=\"%1.xhtml\" "
                           "media-type=\"application/xhtml+xml\"%2/>\n")
                .arg(n, sound ? QStringLiteral(" media-overlay=\"%1-overlay\"").arg(n) : QString());
        if (sound) {
            manifest += QStringLiteral("<item id=\"%1-overlay\" href=\"%1.smil\" "
                                       "media-type=\"application/smil+xml\"/>\n"
                                       "<item id=\"%1-sound\" href=\"audio/%1.mp3\" "
                                       "media-type=\"audio/mpeg\"/>\n")
                            .arg(n);
            metadata += QStringLiteral("<meta property=\"media:duration\" "
                                       "refines=\"#%1-overlay\">%2</meta>\n")
                            .arg(n, mediaClock(page.seconds));
            total += page.seconds;
        }
        if (page.picture)
            manifest += QStringLiteral("<item id=\"%1-picture\" href=\"images/%1.jpg\" "
                                       "media-type=\"image/jpeg\"/>\n")
                            .arg(n);
        spine += QStringLiteral("<itemref idref=\"%1\"/>\n").arg(n);
    }
    if (total > 0)
        metadata += QStringLiteral("<meta property=\"media:duration\">%1</meta>\n"
                                   "<meta property=\"media:active-class\">%2</meta>\n")
                        .arg(mediaClock(total), ActiveClass);
    if (!book.author.trimmed().isEmpty())
        metadata += QStringLiteral("<dc:creator>%1</dc:creator>\n").arg(xml(book.author.trimmed()));
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\" "
               "unique-identifier=\"book-id\" xml:lang=\"%1\">\n"
               "<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
               "<dc:identifier id=\"book-id\">%2</dc:identifier>\n"
               "<dc:title>%3</dc:title>\n"
               "<dc:language>%1</dc:language>\n"
               "<meta property=\"dcterms:modified\">%4</meta>\n"
               "%5</metadata>\n"
               "<manifest>\n"
               "<item id=\"nav\" href=\"nav.xhtml\" media-type=\"application/xhtml+xml\" "
               "properties=\"nav\"/>\n"
               "<item id=\"style\" href=\"style.css\" media-type=\"text/css\"/>\n"
               "%6</manifest>\n"
               "<spine>\n%7</spine>\n"
               "</package>\n")
        .arg(book.language, xml(book.identifier),
             xml(book.title.trimmed().isEmpty() ? QStringLiteral("Book") : book.title.trimmed()),
             book.modified.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ")), metadata,
             manifest, spine)
        .toUtf8();
}

QByteArray epubNavigation(const ReadAlongBook& book) {
    QString entries;
    for (const ReadAlongPage& page : book.pages)
        entries += QStringLiteral("<li><a href=\"%1.xhtml\">%2</a></li>\n")
                       .arg(page.name, xml(page.heading));
    return xhtml(book, QStringLiteral("Contents"),
                 QStringLiteral("<nav epub:type=\"toc\" id=\"toc\">\n<h1>Contents</h1>\n<ol>\n"
                                "%1</ol>\n</nav>\n")
                     .arg(entries));
}

QByteArray epubPage(const ReadAlongBook& book, const ReadAlongPage& page) {
    QString body = QStringLiteral("<section id=\"page\">\n<h1>%1</h1>\n").arg(xml(page.heading));
    bool open = false;
    for (qsizetype s = 0; s < page.sentences.size(); ++s) {
        const ReadAlongSentence& sentence = page.sentences[s];
        if (!open || sentence.startsParagraph) {
            body += open ? QStringLiteral("</p>\n<p>") : QStringLiteral("<p>");
            open = true;
        } else {
            body += QLatin1Char(' ');
        }
        body += QStringLiteral("<span id=\"s%1\">%2</span>").arg(s + 1).arg(xml(sentence.text));
    }
    if (open)
        body += QStringLiteral("</p>\n");
    if (page.picture)
        body += QStringLiteral("<figure><img src=\"images/%1.jpg\" alt=\"%2\"/></figure>\n")
                    .arg(page.name, xml(page.pictureText.simplified()));
    body += QStringLiteral("</section>\n");
    return xhtml(book, page.heading, body);
}

QByteArray epubOverlay(const ReadAlongPage& page) {
    QString pars;
    for (qsizetype s = 0; s < page.sentences.size(); ++s)
        pars +=
            QStringLiteral("<par id=\"p%1\"><text src=\"%2.xhtml#s%1\"/>"
                           "<audio src=\"audio/%2.mp3\" clipBegin=\"%3\" clipEnd=\"%4\"/></par>\n")
                .arg(s + 1)
                .arg(page.name, seconds(page.sentences[s].begin), seconds(page.sentences[s].end));
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<smil xmlns=\"http://www.w3.org/ns/SMIL\" "
                          "xmlns:epub=\"http://www.idpf.org/2007/ops\" version=\"3.0\">\n"
                          "<body>\n<seq id=\"seq1\" epub:textref=\"%1.xhtml#page\">\n%2</seq>\n"
                          "</body>\n</smil>\n")
        .arg(page.name, pars)
        .toUtf8();
}

} // namespace folimar::bookexport
