#pragma once

#include "bookexport/JpegDensity.h"
#include "bookexport/JpegSource.h"
#include "bookexport/PictureWords.h"

#include <QByteArray>
#include <QFile>
#include <QImageIOHandler>
#include <QList>
#include <QString>
#include <memory>

namespace folimar::bookexport {

// What a page needs of its picture before the picture's bytes, which come only as the
// document is written.
struct PagePicture {
    JpegFrame frame;
    QPointF dotsPerInch;
    QImageIOHandler::Transformations turn; // to stand upright
    qsizetype size = 0;                    // of its JPEG
};

// A PDF made in memory page by page: scanned pages with their stored JPEG bytes as they
// are and their text invisible over the words, and pages of text alone; the JPEGs are
// taken from their source only as the document is written. One document is used on one
// thread.
class PdfDocument {
public:
    // None when no font for the text can be found (`why` says so). The font's letters go
    // into the file only when `visibleText`: invisible text needs only its widths.
    // `pictures` gives the JPEGs of the picture pages, in their order, and must outlive
    // the document.
    static std::unique_ptr<PdfDocument> create(bool visibleText, JpegSource& pictures,
                                               QString* why);
    ~PdfDocument();
    PdfDocument(const PdfDocument&) = delete;
    PdfDocument& operator=(const PdfDocument&) = delete;

    void setInfo(const QString& title, const QString& author);
    // A page the size of the picture at its resolution, the JPEG drawn over all of it,
    // turned to stand upright, and the words put invisibly where they stand on the upright
    // picture; without words, `text` invisibly as a block. False when the picture cannot
    // be put in a PDF.
    bool addPicturePage(const PagePicture& picture, const QList<WordOnPicture>& words,
                        const QString& text);
    // Pages of A4 showing `heading` and `text`, as many as the text needs.
    bool addTextPages(const QString& heading, const QString& text);
    // Writes the document to `file`, open for writing.
    bool save(QFile& file);
    // What went wrong in the last step that failed.
    QString errorString() const { return error_; }

private:
    struct Parts;
    explicit PdfDocument(std::unique_ptr<Parts> parts);
    bool failed(const QString& what);

    std::unique_ptr<Parts> parts_;
    QString error_;
};

} // namespace folimar::bookexport
