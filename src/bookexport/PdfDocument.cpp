#include "bookexport/PdfDocument.h"

#include "bookexport/PdfObjects.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>
#include <algorithm>
#include <deque>
#include <hpdf.h>
#include <tuple>

namespace folimar::bookexport {

namespace {

constexpr double PointsPerInch = 72.0;
constexpr double A4Width = 595.0;
constexpr double A4Height = 842.0;
constexpr double TextMargin = 56.0;
constexpr double HeadingSize = 16.0;
constexpr double BodySize = 11.0;
constexpr double LineSpacing = 1.35;
constexpr double BlockSize = 10.0;

// A font with the letters of most languages written in Latin, Greek and Cyrillic.
QString textFontPath() {
    QStringList folders = QStandardPaths::standardLocations(QStandardPaths::FontsLocation);
    folders << QStringLiteral("/usr/share/fonts/truetype/dejavu")
            << QStringLiteral("/usr/local/share/fonts/truetype/dejavu");
    for (const QString& folder : folders) {
        for (const QString& name :
             {QStringLiteral("DejaVuSans.ttf"), QStringLiteral("dejavu/DejaVuSans.ttf"),
              QStringLiteral("truetype/dejavu/DejaVuSans.ttf")}) {
            const QString path = folder + QLatin1Char('/') + name;
            if (QFileInfo(path).isFile())
                return path;
        }
    }
    return {};
}

void recordError(HPDF_STATUS error, HPDF_STATUS detail, void* data) {
    if (error == HPDF_STREAM_EOF)
        return; // the end of the written document, not a fault
    auto* status = static_cast<std::pair<HPDF_STATUS, HPDF_STATUS>*>(data);
    if (status->first == HPDF_OK)
        *status = {error, detail};
}

// The text's lines as they fit `width` at the page's font and size, breaking between words.
QStringList wrapped(HPDF_Page page, const QString& text, double width) {
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        QString line;
        for (const QString& word : paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (!line.isEmpty() && HPDF_Page_TextWidth(page, longer.toUtf8().constData()) > width) {
                lines << line;
                line = word;
            } else {
                line = longer;
            }
        }
        lines << line;
    }
    return lines;
}

// A matrix of the page: x' = a x + c y + e, y' = b x + d y + f.
struct Placement {
    double a, b, c, d, e, f;
};

// Where a picture's square of one by one goes to show it over a page of `width` x `height`
// points turned by `turn` (as a viewer turns it to stand upright).
Placement placement(QImageIOHandler::Transformations turn, double width, double height) {
    const auto onPage = [&](double x, double y) {
        double across = x;
        double down = 1 - y; // from the top of the picture as stored
        if (turn.testFlag(QImageIOHandler::TransformationMirror))
            across = 1 - across;
        if (turn.testFlag(QImageIOHandler::TransformationFlip))
            down = 1 - down;
        if (turn.testFlag(QImageIOHandler::TransformationRotate90)) // a quarter clockwise
            std::tie(across, down) = std::pair(1 - down, across);
        return QPointF(across * width, (1 - down) * height);
    };
    const QPointF origin = onPage(0, 0);
    const QPointF x = onPage(1, 0) - origin;
    const QPointF y = onPage(0, 1) - origin;
    return {x.x(), x.y(), y.x(), y.y(), origin.x(), origin.y()};
}

} // namespace

struct PdfDocument::Parts {
    std::pair<HPDF_STATUS, HPDF_STATUS> status{HPDF_OK, HPDF_OK};
    HPDF_Doc pdf = nullptr;
    HPDF_Font font = nullptr;
    double ascent = 0;             // of the font, a share of its size
    double descent = 0;            // below the baseline: negative
    JpegSource* source = nullptr;
    std::deque<HeldJpeg> pictures; // read from as the document is written
    ~Parts() {
        if (pdf)
            HPDF_Free(pdf);
    }
};

PdfDocument::PdfDocument(std::unique_ptr<Parts> parts) : parts_(std::move(parts)) {}
PdfDocument::~PdfDocument() = default;

std::unique_ptr<PdfDocument> PdfDocument::create(bool visibleText, JpegSource& pictures,
                                                 QString* why) {
    const QString fontPath = textFontPath();
    if (fontPath.isEmpty()) {
        *why = QStringLiteral("No font for the text was found: install the DejaVu fonts "
                              "(fonts-dejavu-core).");
        return nullptr;
    }
    auto parts = std::make_unique<Parts>();
    parts->source = &pictures;
    parts->pdf = HPDF_New(recordError, &parts->status);
    if (!parts->pdf) {
        *why = QStringLiteral("There is not enough memory to make a PDF.");
        return nullptr;
    }
    // Pages and their text are packed; the pictures keep the bytes they have.
    HPDF_SetCompressionMode(parts->pdf, HPDF_COMP_TEXT | HPDF_COMP_METADATA);
    HPDF_UseUTFEncodings(parts->pdf);
    HPDF_SetCurrentEncoder(parts->pdf, "UTF-8");
    const char* name = HPDF_LoadTTFontFromFile(parts->pdf, QFile::encodeName(fontPath).constData(),
                                               visibleText ? HPDF_TRUE : HPDF_FALSE);
    if (name)
        parts->font = HPDF_GetFont(parts->pdf, name, "UTF-8");
    if (!parts->font || !mapCodesToLetters(parts->font)) {
        *why = QStringLiteral("The font %1 cannot be used for the text.").arg(fontPath);
        return nullptr;
    }
    parts->ascent = HPDF_Font_GetAscent(parts->font) / 1000.0;
    parts->descent = HPDF_Font_GetDescent(parts->font) / 1000.0;
    if (parts->ascent - parts->descent <= 0) {
        parts->ascent = 0.8;
        parts->descent = -0.2;
    }
    HPDF_SetInfoAttr(parts->pdf, HPDF_INFO_CREATOR, "Folimar");
    return std::unique_ptr<PdfDocument>(new PdfDocument(std::move(parts)));
}

bool PdfDocument::failed(const QString& what) {
    error_ = QStringLiteral("%1 (error %2, %3)")
                 .arg(what)
                 .arg(parts_->status.first, 4, 16, QLatin1Char('0'))
                 .arg(parts_->status.second);
    HPDF_ResetError(parts_->pdf);
    parts_->status = {HPDF_OK, HPDF_OK};
    return false;
}

void PdfDocument::setInfo(const QString& title, const QString& author) {
    if (!title.isEmpty())
        HPDF_SetInfoAttr(parts_->pdf, HPDF_INFO_TITLE, title.toUtf8().constData());
    if (!author.isEmpty())
        HPDF_SetInfoAttr(parts_->pdf, HPDF_INFO_AUTHOR, author.toUtf8().constData());
}

bool PdfDocument::addPicturePage(const PagePicture& picture, const QList<WordOnPicture>& words,
                                 const QString& text) {
    HPDF_Doc pdf = parts_->pdf;
    // Its bytes come only as the file is written.
    HeldJpeg& held = parts_->pictures.emplace_back(
        HeldJpeg{parts_->source, qsizetype(parts_->pictures.size()), picture.size});
    const HPDF_Image image = jpegImage(pdf, held, picture.frame);
    if (!image || parts_->status.first != HPDF_OK)
        return failed(QStringLiteral("The picture cannot be put in a PDF"));
    // The page is the upright picture's size: across it what was down the stored one
    // when the picture is turned a quarter.
    const QImageIOHandler::Transformations turn = picture.turn;
    const bool quarter = turn.testFlag(QImageIOHandler::TransformationRotate90);
    QPointF dpi = picture.dotsPerInch;
    QSizeF pixels(picture.frame.width, picture.frame.height);
    if (quarter) {
        dpi = dpi.transposed();
        pixels.transpose();
    }
    const double scaleX = PointsPerInch / dpi.x();
    const double scaleY = PointsPerInch / dpi.y();
    const double width = pixels.width() * scaleX;
    const double height = pixels.height() * scaleY;
    const HPDF_Page page = HPDF_AddPage(pdf);
    HPDF_Page_SetWidth(page, HPDF_REAL(width));
    HPDF_Page_SetHeight(page, HPDF_REAL(height));
    const Placement drawn = placement(turn, width, height);
    HPDF_Page_GSave(page);
    HPDF_Page_Concat(page, HPDF_REAL(drawn.a), HPDF_REAL(drawn.b), HPDF_REAL(drawn.c),
                     HPDF_REAL(drawn.d), HPDF_REAL(drawn.e), HPDF_REAL(drawn.f));
    HPDF_Page_ExecuteXObject(page, image);
    HPDF_Page_GRestore(page);

    HPDF_Page_BeginText(page);
    HPDF_Page_SetTextRenderingMode(page, HPDF_INVISIBLE);
    const double fontHeight = parts_->ascent - parts_->descent;
    for (const WordOnPicture& word : words) {
        const QByteArray letters = word.text.toUtf8();
        const double boxHeight = word.box.height() * scaleY;
        const double size = std::clamp(boxHeight / fontHeight, 1.0, double(HPDF_MAX_FONTSIZE));
        HPDF_Page_SetFontAndSize(page, parts_->font, HPDF_REAL(size));
        // Stretched or squeezed to the width of its box.
        const double natural = HPDF_Page_TextWidth(page, letters.constData());
        const double stretch = natural > 0 ? word.box.width() * scaleX / natural * 100 : 100;
        HPDF_Page_SetHorizontalScalling(
            page, HPDF_REAL(std::clamp(stretch, double(HPDF_MIN_HORIZONTALSCALING),
                                       double(HPDF_MAX_HORIZONTALSCALING))));
        const double baseline = height - word.box.bottom() * scaleY - parts_->descent * size;
        HPDF_Page_TextOut(page, HPDF_REAL(word.box.left() * scaleX), HPDF_REAL(baseline),
                          letters.constData());
    }
    if (words.isEmpty() && !text.trimmed().isEmpty()) {
        // The text as a block over the page, small enough to lie wholly on it.
        const double margin = std::min(width, height) / 20;
        double size = BlockSize;
        QStringList lines;
        for (;;) {
            HPDF_Page_SetFontAndSize(page, parts_->font, HPDF_REAL(size));
            lines = wrapped(page, text, width - 2 * margin);
            if (lines.size() * size * LineSpacing <= height - 2 * margin || size < 1)
                break;
            size *= 0.8;
        }
        double baseline = height - margin - parts_->ascent * size;
        for (const QString& line : lines) {
            HPDF_Page_TextOut(page, HPDF_REAL(margin), HPDF_REAL(baseline),
                              line.toUtf8().constData());
            baseline -= size * LineSpacing;
        }
    }
    HPDF_Page_EndText(page);
    if (parts_->status.first != HPDF_OK)
        return failed(QStringLiteral("The page's text cannot be put in the PDF"));
    return true;
}

bool PdfDocument::addTextPages(const QString& heading, const QString& text) {
    const double width = A4Width - 2 * TextMargin;
    HPDF_Page page = nullptr;
    double baseline = 0;
    const auto newPage = [&] {
        if (page)
            HPDF_Page_EndText(page);
        page = HPDF_AddPage(parts_->pdf);
        HPDF_Page_SetWidth(page, A4Width);
        HPDF_Page_SetHeight(page, A4Height);
        HPDF_Page_BeginText(page);
        baseline = A4Height - TextMargin;
    };
    const auto show = [&](const QString& what, double size) {
        HPDF_Page_SetFontAndSize(page, parts_->font, HPDF_REAL(size));
        for (const QString& line : wrapped(page, what, width)) {
            if (baseline - parts_->ascent * size < TextMargin) {
                newPage();
                HPDF_Page_SetFontAndSize(page, parts_->font, HPDF_REAL(size));
            }
            baseline -= parts_->ascent * size;
            HPDF_Page_TextOut(page, TextMargin, HPDF_REAL(baseline), line.toUtf8().constData());
            baseline -= (LineSpacing - parts_->ascent) * size;
        }
    };
    newPage();
    show(heading, HeadingSize);
    baseline -= BodySize;
    show(text, BodySize);
    HPDF_Page_EndText(page);
    if (parts_->status.first != HPDF_OK)
        return failed(QStringLiteral("The text cannot be put in the PDF"));
    return true;
}

bool PdfDocument::save(QFile& file) {
    // Straight to the file: a copy in memory first would double the work of a large book.
    if (!writeDocument(parts_->pdf, file) || parts_->status.first != HPDF_OK)
        return failed(QStringLiteral("The PDF cannot be written: %1").arg(file.errorString()));
    return true;
}

} // namespace folimar::bookexport
