#include "bookexport/PdfExport.h"

#include "bookexport/JpegDensity.h"
#include "bookexport/PdfDocument.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QSaveFile>

namespace folimar::bookexport {

namespace {

BookExportOutcome failed(QString message) {
    return {BookExportOutcome::Status::Failed, std::move(message)};
}

// The size of a JPEG's picture, read from its header.
QSize pictureSize(const QByteArray& jpeg) {
    QBuffer buffer;
    buffer.setData(jpeg);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    reader.setAutoTransform(false);
    return reader.size();
}

} // namespace

BookExportOutcome exportPdf(const ExportedBook& book, const QString& outputPath,
                            const BookExportProgress& progress,
                            const std::atomic<bool>& cancelled) {
    if (book.topics.isEmpty())
        return failed(QStringLiteral("There are no topics to save."));
    bool textPages = false;
    // Making the pages is half the work, each topic's share its bytes; writing the file
    // the other half.
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

    double done = 0;
    int topicsDone = 0;
    for (const ExportedTopic& topic : book.topics) {
        if (cancelled.load())
            return {BookExportOutcome::Status::Cancelled, {}};
        const bool added = isJpeg(topic.picture)
                               ? pdf->addPicturePage(topic.picture,
                                                     wordsOnPicture(topic.text, topic.wordBoxes,
                                                                    pictureSize(topic.picture)),
                                                     topic.text)
                               : pdf->addTextPages(topic.name, topic.text);
        if (!added)
            return failed(QStringLiteral("Topic %1, \"%2\": %3.")
                              .arg(topic.number)
                              .arg(topic.name, pdf->errorString()));
        done += double(topic.picture.size() + topic.text.size() + 1);
        progress(0.5 * done / total, ++topicsDone);
    }

    QSaveFile file(outputPath);
    if (!file.open(QIODevice::WriteOnly))
        return failed(cannotSaveMessage(outputPath, file.errorString()));
    const bool written = pdf->write(file, [&](double share) {
        progress(0.5 + 0.5 * share, topicsDone);
        return !cancelled.load();
    });
    if (cancelled.load())
        return {BookExportOutcome::Status::Cancelled, {}};
    if (!written || !file.commit())
        return failed(QStringLiteral("Cannot write \"%1\": %2")
                          .arg(QFileInfo(outputPath).fileName(),
                               written ? file.errorString() : pdf->errorString()));
    progress(1.0, topicsDone);
    return {BookExportOutcome::Status::Saved, {}};
}

} // namespace folimar::bookexport
