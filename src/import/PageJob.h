#pragma once

#include <QByteArray>
#include <QString>

namespace folimar::import {

// One page to import: a page of a PDF or a picture of an image file (a multi-page TIFF
// holds several), and the name its topic gets.
struct PageJob {
    enum class Kind { PdfPage, Picture };
    Kind kind = Kind::Picture;
    QString file;
    int index = 0; // the page of the PDF, or the picture of the file, from 0
    QString name;
    QByteArray password; // what opens an encrypted PDF; empty for none
};

} // namespace folimar::import
