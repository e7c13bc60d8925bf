#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

namespace Poppler {
class Document;
}

namespace folimar::import {

// A PDF opened for reading its pages, ready to render: null when the file is not a PDF
// that can be read, or the password does not open it.
std::unique_ptr<Poppler::Document> openPdf(const QString& file, const QByteArray& password);
// Whether the PDF needs a password to open.
bool pdfIsEncrypted(const QString& file);

} // namespace folimar::import
