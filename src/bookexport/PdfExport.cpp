#include "bookexport/PdfExport.h"

#include "bookexport/JpegDensity.h"
#include "bookexport/PdfDocument.h"
#include "bookexport/ReplacingFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>

namespace folimar::bookexport {

namespace {

constexpr double PagesShare = 0.7;
// Unlocking a book's pictures is about half the work of making its PDF.
constexpr double PicturesShare = 0.5;

BookExportOutcome failed(QString message) {
    return {BookExportOutcome::Status::Failed, std::move(message)};
}

// How a JPEG's picture is turned to stand upright, and its size so turned.
struct Upright {
    QImageIOHandler::Transformations turn;
    QSize size;
};

Upright uprightOf(const QByteArray& jpeg) {
    QBuffer buffer;
    buffer.setData(jpeg);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    reader.setAutoTransform(false); // the size as stored
    const QImageIOHandler::Transformations turn = reader.transformation();
    const QSize stored = reader.size();
    return {turn,
            turn.testFlag(QImageIOHandler::TransformationRotate90) ? stored.transposed() : stored};
}

BookExportOutcome exportWholePdf(const ExportedBook& book, const QString& outputPath,
                                 const BookExportProgress& progress,
                                 const std::atomic<bool>& cancelled) {
    if (book.topics.isEmpty())
        return failed(QStringLiteral("There are no topics to save."));
    bool textPages = false;
    // Making the pages is most of the work, each topic's share its bytes; writing the file
    // the rest.
    double total = 0;
    for (const ExportedTopic& topic : book.topics) {
        textPages = textPages || !isJpeg(topic.picture);
        total += double(topic.picture.size() + topic.text.size() + 1);
    }
    QString why;
    const std::unique_ptr<PdfDocument> pdf = PdfDocument::create(textPages, &why);
    if (!pdf)
        return failed(why);
    pdf->setInfo(book.title, book.author);
    // Made at once, so that a place it cannot be saved in is told before the work.
    const QFileInfo target(outputPath);
    ReplacingFile file(outputPath);
    if (!file.open())
        return failed(cannotSaveMessage(outputPath, file.errorString()));

    double done = 0;
    int topicsDone = 0;
    for (const ExportedTopic& topic : book.topics) {
        if (cancelled.load())
            return {BookExportOutcome::Status::Cancelled, {}};
        bool added = false;
        if (isJpeg(topic.picture)) {
            const Upright upright = uprightOf(topic.picture);
            added = pdf->addPicturePage(topic.picture, upright.turn,
                                        wordsOnPicture(topic.text, topic.wordBoxes, upright.size),
                                        topic.text);
        } else {
            added = pdf->addTextPages(topic.name, topic.text);
        }
        if (!added)
            return failed(QStringLiteral("Topic %1, \"%2\": %3.")
                              .arg(topic.number)
                              .arg(topic.name, pdf->errorString()));
        done += double(topic.picture.size() + topic.text.size() + 1);
        progress(PagesShare * done / total, ++topicsDone);
    }

    if (!pdf->save(file.device()))
        return failed(
            QStringLiteral("Cannot write \"%1\": %2").arg(target.fileName(), pdf->errorString()));
    if (cancelled.load())
        return {BookExportOutcome::Status::Cancelled, {}};
    if (!file.commit())
        return failed(
            QStringLiteral("Cannot save \"%1\": %2").arg(target.fileName(), file.errorString()));
    progress(1.0, topicsDone);
    return {BookExportOutcome::Status::Saved, {}};
}

} // namespace

BookExportOutcome exportPdf(const ExportedBook& book, const QString& outputPath,
                            const BookExportProgress& progress,
                            const std::atomic<bool>& cancelled) {
    return withPicturesRead(book, PicturesShare, progress, cancelled,
                            [&](const ExportedBook& whole, const BookExportProgress& rest) {
                                return exportWholePdf(whole, outputPath, rest, cancelled);
                            });
}

} // namespace folimar::bookexport
