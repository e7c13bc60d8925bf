#include "bookexport/PdfExport.h"

#include "bookexport/BookPictures.h"
#include "bookexport/PagePlans.h"
#include "bookexport/PdfDocument.h"
#include "bookexport/PictureQueue.h"
#include "bookexport/ReplacingFile.h"

#include <QFileInfo>
#include <utility>

namespace folimar::bookexport {

namespace {

// Reading the heads of the pictures and making the pages come before writing the file,
// which reads the pictures themselves and is the most of the work.
constexpr double PlansShare = 0.1;
constexpr double PagesShare = 0.2;
// Pictures read ahead of the one being written, and the threads reading them from a book
// file: unlocking them is most of the work.
constexpr qsizetype PicturesAhead = 8;
constexpr int BookReaders = 2;

BookExportOutcome failed(QString message) {
    return {BookExportOutcome::Status::Failed, std::move(message)};
}

const BookExportOutcome Cancelled{BookExportOutcome::Status::Cancelled, {}};

// A picture of the document: where it is read from and what its page was made for.
struct PictureToWrite {
    qsizetype topic = 0; // its place in the book's topics
    qint64 row = -1;
    PagePicture picture;
};

// Reads the pictures from the book file over a connection of its own, made on the reading
// thread: each picture checked to be the one its page was made for.
PictureQueue::Reader bookReader(const ExportedBook& book, const QList<PictureToWrite>& pictures) {
    QString cannotOpen;
    std::shared_ptr<BookPictures> file = BookPictures::open(book.picturesFrom, &cannotOpen);
    return [&book, &pictures, file, cannotOpen](qsizetype index,
                                                QString* why) -> std::optional<QByteArray> {
        if (!file) {
            *why = cannotOpen;
            return std::nullopt;
        }
        const PictureToWrite& wanted = pictures[index];
        BookPictures::Part part = file->picturePart(wanted.row, wanted.picture.size);
        const std::optional<JpegFrame> frame = jpegFrame(part.bytes);
        if (part.size != wanted.picture.size || !frame ||
            frame->width != wanted.picture.frame.width ||
            frame->height != wanted.picture.frame.height ||
            frame->components != wanted.picture.frame.components) {
            const ExportedTopic& topic = book.topics[wanted.topic];
            *why = QStringLiteral("Topic %1, \"%2\": its picture changed in the book while it "
                                  "was being saved.")
                       .arg(topic.number)
                       .arg(topic.name);
            return std::nullopt;
        }
        return std::move(part.bytes);
    };
}

} // namespace

BookExportOutcome exportPdf(const ExportedBook& book, const QString& outputPath,
                            const BookExportProgress& progress,
                            const std::atomic<bool>& cancelled) {
    if (book.topics.isEmpty())
        return failed(QStringLiteral("There are no topics to save."));
    // Made at once, so that a place it cannot be saved in is told before the work.
    const QFileInfo target(outputPath);
    ReplacingFile file(outputPath);
    if (!file.open())
        return failed(cannotSaveMessage(outputPath, file.errorString()));

    QString why;
    std::unique_ptr<BookPictures> heads;
    if (!book.picturesFrom.isEmpty() && !(heads = BookPictures::open(book.picturesFrom, &why)))
        return failed(why);
    const double topics = double(book.topics.size());
    const std::optional<QList<PagePlan>> plans = planPages(
        book, heads.get(),
        [&](qsizetype planned) { progress(PlansShare * double(planned) / topics, 0); },
        cancelled, &why);
    heads.reset();
    if (!plans)
        return cancelled.load() ? Cancelled : failed(why);

    bool textPages = false;
    QList<PictureToWrite> pictures;
    double bytes = 0;
    for (qsizetype i = 0; i < plans->size(); ++i) {
        const PagePlan& plan = plans->at(i);
        textPages = textPages || !plan.picture;
        if (plan.picture) {
            pictures.append({i, plan.row, *plan.picture});
            bytes += double(plan.picture->size);
        }
    }
    // The pictures are read while the pages are made and the file written, a few ahead.
    double written = 0;
    const bool inMemory = book.picturesFrom.isEmpty();
    PictureQueue queue(
        pictures.size(), int(std::min<qsizetype>(inMemory ? 1 : BookReaders, pictures.size())),
        PicturesAhead,
        [&]() -> PictureQueue::Reader {
            if (!inMemory)
                return bookReader(book, pictures);
            return [&](qsizetype index, QString*) {
                return std::optional(book.topics[std::as_const(pictures)[index].topic].picture);
            };
        },
        cancelled, [&](qsizetype index) {
            const PictureToWrite& taken = std::as_const(pictures)[index];
            written += double(taken.picture.size);
            progress(PlansShare + PagesShare + (1 - PlansShare - PagesShare) * written / bytes,
                     int(taken.topic));
        });
    const std::unique_ptr<PdfDocument> pdf = PdfDocument::create(textPages, queue, &why);
    if (!pdf)
        return failed(why);
    pdf->setInfo(book.title, book.author);

    for (qsizetype i = 0; i < book.topics.size(); ++i) {
        if (cancelled.load())
            return Cancelled;
        const ExportedTopic& topic = book.topics[i];
        const PagePlan& plan = plans->at(i);
        bool added = false;
        if (plan.picture) {
            const bool quarter =
                plan.picture->turn.testFlag(QImageIOHandler::TransformationRotate90);
            const QSize stored(plan.picture->frame.width, plan.picture->frame.height);
            added = pdf->addPicturePage(
                *plan.picture,
                wordsOnPicture(topic.text, plan.wordBoxes, quarter ? stored.transposed() : stored),
                topic.text);
        } else {
            added = pdf->addTextPages(topic.name, topic.text);
        }
        if (!added)
            return failed(QStringLiteral("Topic %1, \"%2\": %3.")
                              .arg(topic.number)
                              .arg(topic.name, pdf->errorString()));
        progress(PlansShare + PagesShare * double(i + 1) / topics, 0);
    }

    const bool saved = pdf->save(file.device());
    if (cancelled.load())
        return Cancelled;
    // The library may write on past a picture that could not be read: the file is then
    // not kept either.
    if (const QString reading = queue.errorString(); !reading.isEmpty())
        return failed(reading);
    if (!saved)
        return failed(
            QStringLiteral("Cannot write \"%1\": %2").arg(target.fileName(), pdf->errorString()));
    if (!file.commit())
        return failed(
            QStringLiteral("Cannot save \"%1\": %2").arg(target.fileName(), file.errorString()));
    progress(1.0, int(book.topics.size()));
    return {BookExportOutcome::Status::Saved, {}};
}

} // namespace folimar::bookexport
