#pragma once

#include "import/PageJob.h"
#include "import/PdfFile.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace folimar::import {

// The pages an import makes, in the order their topics follow each other, and the files
// that give none (with the reason), for the summary at the end.
struct ImportPlan {
    std::vector<PageJob> pages;
    QStringList skipped;
};

// Asks for the password of the encrypted PDF `file`; `wrongBefore` tells that the last
// one typed did not open it. A null string gives the file up.
using PasswordAsk = std::function<QString(const QString& file, bool wrongBefore)>;

// The question asking for a PDF's password, saying so when the one before was wrong.
QString passwordPrompt(const QString& file, bool wrongBefore);

// The pages of `paths`, each a PDF, an image file or a folder of pictures, in the order
// given. Only counts pages: nothing is rendered or decoded yet. PDFs are opened by the
// helper `reading` gives.
ImportPlan planImport(const QStringList& paths, const PasswordAsk& askPassword,
                      const PdfReading& reading = {});

// The picture files of `folder`, in any format Qt reads, in natural order ("page2" before
// "page10"); a subfolder's pictures come where its name falls among the files.
QStringList folderPictures(const QString& folder);

// A topic name made of a file's name and a page number ("Report p.12"), cut to what a
// topic name holds.
QString pageName(const QString& file, int pageNumber);

} // namespace folimar::import
