#include "import/PageMaker.h"

#include "import/PageResolution.h"
#include "import/PdfFile.h"
#include "import/TextLayer.h"
#include "recognition/PageReader.h"
#include "recognition/WordBoxBlob.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <poppler-qt6.h>

namespace folimar::import {

namespace {

bool hasText(const std::vector<std::unique_ptr<Poppler::TextBox>>& words) {
    for (const std::unique_ptr<Poppler::TextBox>& word : words)
        if (!word->text().trimmed().isEmpty())
            return true;
    return false;
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
    if (openFile_ != job.file || !document_) {
        document_ = openPdf(job.file, job.password);
        openFile_ = job.file;
    }
    const std::unique_ptr<Poppler::Page> pdfPage = document_ ? document_->page(job.index) : nullptr;
    if (!pdfPage) {
        page.failure = QStringLiteral("the page cannot be read");
        return;
    }
    const std::vector<std::unique_ptr<Poppler::TextBox>> words = pdfPage->textList();
    const bool textLayer = hasText(words);
    const double dpi =
        boundedDpi(pdfPage->pageSizeF(), textLayer ? TextLayerDpi : ScanDpi, making_.pagePixels);
    if (dpi <= 0) {
        page.failure = QStringLiteral("the page is too large to draw");
        return;
    }
    const QImage picture = pdfPage->renderToImage(dpi, dpi);
    if (picture.isNull()) {
        page.failure = QStringLiteral("the page cannot be drawn");
        return;
    }
    if (textLayer) {
        const recognition::PageText text = textLayerText(words, dpi);
        page.text = text.text;
        page.wordBoxes = recognition::encodeWordBoxes(text);
    } else {
        recognise(picture, page);
    }
    page.jpeg = encode(picture);
}

// A JPEG file of one picture is kept as it is; anything else is encoded like a paste.
void PageMaker::makePicture(const PageJob& job, ImportedPage& page) {
    QFile file(job.file);
    if (!file.open(QIODevice::ReadOnly)) {
        page.failure = file.errorString();
        return;
    }
    QImageReader reader(&file);
    const bool keptAsItIs = reader.format() == "jpeg" && reader.imageCount() <= 1;
    if (job.index > 0 && !reader.jumpToImage(job.index)) {
        page.failure = QStringLiteral("the picture cannot be read");
        return;
    }
    const QImage picture = reader.read();
    if (picture.isNull()) {
        page.failure = QStringLiteral("the picture cannot be read");
        return;
    }
    recognise(picture, page);
    if (keptAsItIs && file.seek(0))
        page.jpeg = file.readAll();
    else
        page.jpeg = encode(picture);
}

void PageMaker::recognise(const QImage& picture, ImportedPage& page) {
    if (making_.languages.isEmpty())
        return;
    const recognition::ReadOutcome outcome =
        recognition::readPage(picture, making_.tessdata, making_.languages, control_);
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
