#pragma once

#include "import/ImportedPage.h"
#include "import/PageJob.h"
#include "import/PageResolution.h"
#include "import/PdfFile.h"
#include "import/PictureFile.h"
#include "recognition/PageReader.h"

#include <QString>
#include <memory>

class QImage;

namespace folimar::recognition {
struct ReadControl;
}

namespace folimar::import {

// How pages are made: the JPEG quality, and the recognition of pages without a text layer
// (no recognition when `languages` is empty).
struct PageMaking {
    int quality = 75;
    QString tessdata;
    QString languages;
    qint64 pagePixels = ImportPagePixels; // the most pixels a PDF page is drawn with
    PdfReading pdf = {};
};

// Makes pages one at a time on one thread. It keeps the PDF (in its helper) or image file it
// last read open, and its recognition engine loaded, so that the pages of a long file do not
// each open it or load the engine again; makers on other threads keep their own. A cancel of
// the reading ends the PDF helper at once.
class PageMaker {
public:
    PageMaker(PageMaking making, recognition::ReadControl& control);
    ~PageMaker();
    PageMaker(const PageMaker&) = delete;
    PageMaker& operator=(const PageMaker&) = delete;

    ImportedPage make(const PageJob& job);

    // PDF pages with a text layer are rendered at this resolution, scans at the higher one.
    static constexpr double TextLayerDpi = 150;
    static constexpr double ScanDpi = 300;

private:
    void makePdfPage(const PageJob& job, ImportedPage& page);
    void makePicture(const PageJob& job, ImportedPage& page);
    void recognise(const QImage& picture, ImportedPage& page);
    QByteArray encode(const QImage& picture) const;

    PageMaking making_;
    recognition::ReadControl& control_;
    QString openFile_;
    std::unique_ptr<PdfFile> pdf_;
    PictureFile pictureFile_;
    recognition::PageReader pageReader_; // its engine kept from page to page
};

} // namespace folimar::import
