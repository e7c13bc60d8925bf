#pragma once

#include "support/FifoWatch.h"

#include <QImage>
#include <QTemporaryDir>
#include <memory>

class QMimeData;
class QTextDocument;

namespace folimar::testing {

// Clipboard HTML from a crafted web page: pictures and a style sheet named by local paths
// (a picture, a pipe), SVG pictures carried in the HTML that name the pipe, a PNG picture
// carried in the HTML, bold words and a list.
struct HostilePaste {
    HostilePaste();
    // A new clipboard content holding the HTML (and its plain text).
    QMimeData* mimeData() const;
    // The pictures `document` shows, by size: only the carried one may be there.
    static QList<QSize> pictureSizes(QTextDocument& document);

    QTemporaryDir dir;
    QString localPicture; // a 7 x 5 PNG
    std::unique_ptr<FifoWatch> pipe;
    QString html;
};

} // namespace folimar::testing
