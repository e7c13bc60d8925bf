#include "import/PdfFile.h"

#include "platform/boundedprocess/BoundedProcess.h"
#include "platform/paths/InstalledFiles.h"

#include <QCoreApplication>
#include <cmath>

namespace folimar::import {

using namespace pdfpages;

namespace {

// What the helper maps before it draws a page: its program, its libraries, the fonts and
// the document's structures.
constexpr qint64 HelperBaseMemory = qint64(512) << 20;
// Drawing takes the page's picture about three times over: the drawing itself, the picture
// made of it and the answer that carries it.
constexpr qint64 HelperBytesPerPixel = 12;

// Whether a picture is the size of a page of `points` at `dpi`, give or take the rounding.
bool drawnAtItsSize(const QImage& picture, double dpi, QSizeF points) {
    return std::abs(picture.width() - points.width() * dpi / 72) <= 2 &&
           std::abs(picture.height() - points.height() * dpi / 72) <= 2;
}

} // namespace

QString PdfReading::installedHelper() {
    return platform::InstalledFiles(QCoreApplication::applicationDirPath()).program(HelperProgram);
}

PdfOpening openPdf(const QString& file, const QByteArray& password, const PdfReading& reading,
                   qint64 maxPixels, const std::atomic<bool>* cancelled) {
    std::unique_ptr<PdfFile> pdf(new PdfFile(file, password, reading, maxPixels, cancelled));
    if (const QString failure = pdf->start(); !failure.isEmpty())
        return {nullptr, false, failure};
    if (pdf->locked_)
        return {nullptr, true, {}};
    return {std::move(pdf), false, {}};
}

PdfFile::PdfFile(QString file, QByteArray password, PdfReading reading, qint64 maxPixels,
                 const std::atomic<bool>* cancelled)
    : file_(std::move(file)), password_(std::move(password)), reading_(std::move(reading)),
      maxPixels_(maxPixels), cancelled_(cancelled) {}

PdfFile::~PdfFile() = default;

QString PdfFile::start() {
    const QString program =
        reading_.helper.isEmpty() ? PdfReading::installedHelper() : reading_.helper;
    if (program.isEmpty())
        return QStringLiteral("the PDF page reader %1 is not installed")
            .arg(PdfReading::HelperProgram);
    const qint64 memory = reading_.memoryBytes > 0
                              ? reading_.memoryBytes
                              : HelperBaseMemory + HelperBytesPerPixel * maxPixels_;
    helper_ = platform::BoundedProcess::start(
        program, {QStringLiteral("--cpu-seconds"), QString::number(reading_.seconds)}, {memory});
    if (!helper_)
        return QStringLiteral("the PDF page reader %1 cannot be started").arg(program);
    std::variant<Reply, QString> answer = exchange(OpenRequest{file_, password_});
    if (const QString* failure = std::get_if<QString>(&answer))
        return *failure;
    const auto* opened = std::get_if<Opened>(&std::get<Reply>(answer));
    if (!opened)
        return stop(std::get_if<Refused>(&std::get<Reply>(answer))
                        ? std::get<Refused>(std::get<Reply>(answer)).reason
                        : QStringLiteral("the PDF page reader answered out of turn"));
    pageCount_ = opened->pageCount;
    locked_ = opened->locked;
    return {};
}

QString PdfFile::stop(const QString& reason) {
    helper_.reset();
    return reason;
}

std::variant<Reply, QString> PdfFile::ask(const Request& request) {
    if (!helper_)
        if (const QString failure = start(); !failure.isEmpty())
            return failure;
    std::variant<Reply, QString> answer = exchange(request);
    // A helper that refused may have been left in any state: the next request starts afresh.
    if (const auto* reply = std::get_if<Reply>(&answer);
        reply && std::holds_alternative<Refused>(*reply))
        return stop(std::get<Refused>(*reply).reason);
    return answer;
}

std::variant<Reply, QString> PdfFile::exchange(const Request& request) {
    const QDeadlineTimer deadline(std::chrono::seconds(reading_.seconds));
    using Io = platform::BoundedProcess::Io;
    Io io = helper_->write(frame(encodeRequest(request)), deadline);
    std::optional<QByteArray> body;
    if (io == Io::Done)
        body = readFrame(
            [&](char* into, qsizetype size) {
                io = helper_->read(into, size, deadline, cancelled_);
                return io == Io::Done;
            },
            maxReplyBody(maxPixels_));
    if (io == Io::Cancelled)
        return stop(QStringLiteral("cancelled"));
    if (io == Io::TimedOut)
        return stop(QStringLiteral("it took longer than %1 s to read").arg(reading_.seconds));
    if (io == Io::Ended) {
        const QString endedBy = helper_->reap(true);
        if (endedBy == QLatin1String("SIGXCPU"))
            return stop(QStringLiteral("it took longer than %1 s to read").arg(reading_.seconds));
        // The PDF library ends the program when an allocation fails.
        if (endedBy == QLatin1String("SIGABRT"))
            return stop(PastTheMemory.toString());
        return stop(endedBy.isEmpty()
                        ? QStringLiteral("the PDF page reader ended without an answer")
                        : QStringLiteral("the PDF page reader failed on it (%1)").arg(endedBy));
    }
    std::optional<Reply> reply = body ? decodeReply(*body, maxPixels_) : std::nullopt;
    if (!reply)
        return stop(QStringLiteral("the PDF page reader gave an answer that cannot be read"));
    return std::move(*reply);
}

std::variant<PageLayout, QString> PdfFile::layout(int page) {
    std::variant<Reply, QString> answer = ask(LayoutRequest{page});
    if (const QString* failure = std::get_if<QString>(&answer))
        return *failure;
    if (auto* layout = std::get_if<PageLayout>(&std::get<Reply>(answer)))
        return std::move(*layout);
    return stop(QStringLiteral("the PDF page reader answered out of turn"));
}

std::variant<QImage, QString> PdfFile::draw(int page, double dpi, QSizeF points) {
    std::variant<Reply, QString> answer = ask(DrawRequest{page, dpi});
    if (const QString* failure = std::get_if<QString>(&answer))
        return *failure;
    auto* drawn = std::get_if<Drawn>(&std::get<Reply>(answer));
    if (!drawn)
        return stop(QStringLiteral("the PDF page reader answered out of turn"));
    if (!drawnAtItsSize(drawn->picture, dpi, points))
        return QStringLiteral("the page cannot be drawn");
    return std::move(drawn->picture);
}

} // namespace folimar::import
