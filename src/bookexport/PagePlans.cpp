#include "bookexport/PagePlans.h"

#include "bookexport/BookPictures.h"

#include <QBuffer>
#include <QImageReader>

namespace folimar::bookexport {

namespace {

// Enough for the markers before a scan's data, as a rule; a longer head is read when not.
constexpr qint64 HeadSize = 4 * 1024;

// The start of a picture that holds all before its data (or the whole picture), and the
// whole picture's size.
BookPictures::Part headOf(BookPictures& file, qint64 row) {
    for (qint64 count = HeadSize;; count *= 4) {
        BookPictures::Part part = file.picturePart(row, count);
        if (part.bytes.size() >= part.size || jpegHeaderSize(part.bytes) >= 0)
            return part;
    }
}

std::optional<PagePicture> pagePicture(const QByteArray& head, qint64 size) {
    const std::optional<JpegFrame> frame = jpegFrame(head);
    if (!frame)
        return std::nullopt;
    QBuffer buffer;
    buffer.setData(head);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    reader.setAutoTransform(false); // the turn as stored
    return PagePicture{*frame, jpegDotsPerInch(head), reader.transformation(), qsizetype(size)};
}

} // namespace

std::optional<QList<PagePlan>> planPages(const ExportedBook& book, BookPictures* file,
                                         const std::function<void(qsizetype planned)>& progress,
                                         const std::atomic<bool>& cancelled, QString* why) {
    QList<PagePlan> plans;
    plans.reserve(book.topics.size());
    for (const ExportedTopic& topic : book.topics) {
        if (cancelled.load())
            return std::nullopt;
        PagePlan& plan = plans.emplace_back();
        BookPictures::Part head{topic.picture, topic.picture.size()};
        plan.wordBoxes = topic.wordBoxes;
        if (file) {
            if (const std::optional<qint64> row = file->rowOf(topic.number)) {
                plan.row = *row;
                head = headOf(*file, *row);
                plan.wordBoxes = file->wordBoxes(*row);
            } else {
                head = {}; // gone from the book since: its text alone
            }
        }
        if (isJpeg(head.bytes)) {
            plan.picture = pagePicture(head.bytes, head.size);
            if (!plan.picture) {
                *why = QStringLiteral("Topic %1, \"%2\": The picture is damaged or is no JPEG "
                                      "a PDF can show.")
                           .arg(topic.number)
                           .arg(topic.name);
                return std::nullopt;
            }
        }
        progress(plans.size());
    }
    return plans;
}

} // namespace folimar::bookexport
