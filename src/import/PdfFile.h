#pragma once

#include "pdfpages/PdfPageMessages.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <atomic>
#include <memory>
#include <variant>

namespace folimar::platform {
class BoundedProcess;
}

namespace folimar::import {

// PDF pages are read by a helper program in a process of its own, held to these bounds:
// a page that would take more costs that page, never the program.
struct PdfReading {
    QString helper;         // the helper program; empty for the installed one
    qint64 memoryBytes = 0; // the memory it may map; 0 for what drawing a page needs
    int seconds = 60;       // the time one request may take, on the clock and in processor

    static constexpr QLatin1StringView HelperProgram{"folimar-pdfpage"};
    // The helper beside the running program, or installed with it.
    static QString installedHelper();
};

class PdfFile;
struct PdfOpening {
    std::unique_ptr<PdfFile> file; // null when it cannot be opened
    bool locked = false;           // the password given does not open it
    QString failure;               // otherwise why not
};

// A PDF opened for reading its pages with `password` (empty for none), for pictures of at
// most `maxPixels` pixels; a raised `cancelled` ends whatever the helper is doing.
PdfOpening openPdf(const QString& file, const QByteArray& password, const PdfReading& reading,
                   qint64 maxPixels, const std::atomic<bool>* cancelled = nullptr);

// A PDF opened in the helper. When the helper fails on a page it is ended and the next
// request starts a fresh one. Not to be shared between threads.
class PdfFile {
public:
    ~PdfFile();
    PdfFile(const PdfFile&) = delete;
    PdfFile& operator=(const PdfFile&) = delete;

    int pageCount() const { return pageCount_; }
    // A page's size and words, or why they cannot be read.
    std::variant<pdfpages::PageLayout, QString> layout(int page);
    // A page of `points` drawn at `dpi`, or why it cannot be drawn.
    std::variant<QImage, QString> draw(int page, double dpi, QSizeF points);

private:
    friend PdfOpening openPdf(const QString&, const QByteArray&, const PdfReading&, qint64,
                              const std::atomic<bool>*);
    PdfFile(QString file, QByteArray password, PdfReading reading, qint64 maxPixels,
            const std::atomic<bool>* cancelled);
    // Starts the helper and opens the file in it; why not when it cannot.
    QString start();
    // The helper's answer to `request`, starting it first when none runs; the reason when
    // there is none.
    std::variant<pdfpages::Reply, QString> ask(const pdfpages::Request& request);
    std::variant<pdfpages::Reply, QString> exchange(const pdfpages::Request& request);
    QString stop(const QString& reason);

    QString file_;
    QByteArray password_;
    PdfReading reading_;
    qint64 maxPixels_;
    const std::atomic<bool>* cancelled_;
    std::unique_ptr<platform::BoundedProcess> helper_;
    int pageCount_ = 0;
    bool locked_ = false;
};

} // namespace folimar::import
