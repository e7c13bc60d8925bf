#include "import/PdfFile.h"

#include <poppler-qt6.h>

namespace folimar::import {

std::unique_ptr<Poppler::Document> openPdf(const QString& file, const QByteArray& password) {
    std::unique_ptr<Poppler::Document> document = Poppler::Document::load(file, password, password);
    if (!document || document->isLocked())
        return nullptr;
    document->setRenderHint(Poppler::Document::Antialiasing);
    document->setRenderHint(Poppler::Document::TextAntialiasing);
    return document;
}

bool pdfIsEncrypted(const QString& file) {
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::load(file);
    return document && document->isLocked();
}

} // namespace folimar::import
