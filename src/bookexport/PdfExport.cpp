#include "bookexport/PdfExport.h"

#include "bookexport/JpegDensity.h"
#include "bookexport/PdfDocument.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace folimar::bookexport {

namespace {

constexpr double PagesShare = 0.7;
constexpr QFile::Permissions NewFilePermissions =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;

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
        progress(PagesShare * done / total, ++topicsDone);
    }

    // Written beside the older file, then put in its place once complete.
    const QFileInfo target(outputPath);
    QTemporaryFile file(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                        QStringLiteral(".XXXXXX"));
    if (!file.open())
        return failed(cannotSaveMessage(outputPath, file.errorString()));
    if (!pdf->save(file.fileName()))
        return failed(
            QStringLiteral("Cannot write \"%1\": %2").arg(target.fileName(), pdf->errorString()));
    if (cancelled.load())
        return {BookExportOutcome::Status::Cancelled, {}};
    file.setPermissions(target.exists() ? QFile::permissions(outputPath) : NewFilePermissions);
    if (::fsync(file.handle()) != 0 || ::rename(QFile::encodeName(file.fileName()).constData(),
                                                QFile::encodeName(outputPath).constData()) != 0)
        return failed(QStringLiteral("Cannot save \"%1\": %2")
                          .arg(target.fileName(), QString::fromLocal8Bit(std::strerror(errno))));
    file.setAutoRemove(false); // it is the PDF now
    progress(1.0, topicsDone);
    return {BookExportOutcome::Status::Saved, {}};
}

} // namespace folimar::bookexport
