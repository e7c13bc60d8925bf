#include "import/PageMaker.h"

#include "import/PageResolution.h"
#include "import/PdfFile.h"
#include "import/TextLayer.h"
#include "pictures/PictureReading.h"
#include "recognition/PageReader.h"
#include "recognition/WordBoxBlob.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>

namespace folimar::import {

namespace {

// A page whose words cover less of it than this is a scan, whatever text it carries: a line
// stamped on every page of a scanned book ("Downloaded from ...") covers about half a
// percent of a page, a chapter's title alone about one.
constexpr double TextLayerLeastCover = 0.01;

// Whether the page's own text is its text: words that cover enough of the page.
bool hasTextLayer(const std::vector<pdfpages::PdfWord>& words, QSizeF page) {
    double covered = 0;
    for (const pdfpages::PdfWord& word : words)
        if (!word.text.trimmed().isEmpty())
            covered += word.box.width() * word.box.height();
    return covered > 0 && covered >= TextLayerLeastCover * page.width() * page.height();
}

} // namespace

PageMaker::PageMaker(PageMaking making, recognition::ReadControl& control)
    : making_(std::move(making)), control_(control) {}

PageMaker::~PageMaker() = default;

ImportedPage PageMaker::make(const PageJob& job) {
    ImportedPage page;
    page.name = job.name;
    if (job.kind == PageJob::Kind::PdfPage)
        makePdfPage(job, page);
    else
        makePicture(job, page);
    if (page.failure.isEmpty() && page.jpeg.isEmpty())
        page.failure = QStringLiteral("the picture cannot be made a JPEG");
    return page;
}

void PageMaker::makePdfPage(const PageJob& job, ImportedPage& page) {
    if (openFile_ != job.file || !pdf_) {
        PdfOpening opening =
            openPdf(job.file, job.password, making_.pdf, making_.pagePixels, &control_.cancelled);
        pdf_ = std::move(opening.file);
        openFile_ = job.file;
        if (!pdf_) {
            page.failure = opening.failure.isEmpty() ? QStringLiteral("the page cannot be read")
                                                     : opening.failure;
            return;
        }
    }
    std::variant<pdfpages::PageLayout, QString> read = pdf_->layout(job.index);
    if (const QString* failure = std::get_if<QString>(&read)) {
        page.failure = *failure;
        return;
    }
    const pdfpages::PageLayout& layout = std::get<pdfpages::PageLayout>(read);
    const bool textLayer = hasTextLayer(layout.words, layout.points);
    const double dpi =
        boundedDpi(layout.points, textLayer ? TextLayerDpi : ScanDpi, making_.pagePixels);
    if (dpi <= 0) {
        page.failure = QStringLiteral("the page is too large to draw");
        return;
    }
    std::variant<QImage, QString> drawn = pdf_->draw(job.index, dpi, layout.points);
    if (const QString* failure = std::get_if<QString>(&drawn)) {
        page.failure = *failure;
        return;
    }
    const QImage& picture = std::get<QImage>(drawn);
    if (textLayer) {
        const recognition::PageText text = textLayerText(layout.words, dpi);
        page.text = text.text;
        page.wordBoxes = recognition::encodeWordBoxes(text);
    } else {
        recognise(picture, page);
    }
    page.jpeg = encode(picture);
}

// A JPEG file of one picture is kept as it is; anything else is encoded like a paste.
void PageMaker::makePicture(const PageJob& job, ImportedPage& page) {
    const std::optional<PictureFile::Picture> source = pictureFile_.picture(job.file, job.index);
    if (!source) {
        page.failure = pictureFile_.errorString();
        return;
    }
    QIODevice& file = source->device;
    QImageReader reader(&file);
    const bool jpeg = reader.format() == "jpeg" && reader.imageCount() <= 1;
    const QSize stored = reader.size();
    const bool upright = reader.transformation() == QImageIOHandler::TransformationNone;
    if (!file.seek(0)) {
        page.failure = file.errorString();
        return;
    }
    pictures::PictureRead read = pictures::readPicture(file, source->index);
    if (read.image.isNull()) {
        page.failure = read.refusal;
        return;
    }
    const QImage picture = std::move(read.image);
    recognise(picture, page);
    // Turned upright or shrunk, the picture is stored as it was read, not as the file has it.
    const bool keptAsItIs = jpeg && upright && picture.size() == stored;
    if (keptAsItIs && file.seek(0))
        page.jpeg = file.readAll();
    else
        page.jpeg = encode(picture);
}

void PageMaker::recognise(const QImage& picture, ImportedPage& page) {
    if (making_.languages.isEmpty())
        return;
    const recognition::ReadOutcome outcome =
        pageReader_.read(picture, making_.tessdata, making_.languages, control_);
    if (outcome.status == recognition::ReadOutcome::Status::Read) {
        page.text = outcome.page.text;
        page.wordBoxes = recognition::encodeWordBoxes(outcome.page);
    } else if (outcome.status == recognition::ReadOutcome::Status::Failed) {
        page.textWarning = outcome.message;
    }
}

QByteArray PageMaker::encode(const QImage& picture) const {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(making_.quality);
    if (!writer.write(picture.convertToFormat(QImage::Format_RGB32)))
        return {};
    return bytes;
}

} // namespace folimar::import
