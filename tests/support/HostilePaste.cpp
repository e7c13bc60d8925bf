#include "support/HostilePaste.h"

#include <QBuffer>
#include <QFileInfo>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

namespace folimar::testing {

HostilePaste::HostilePaste() {
    localPicture = dir.filePath(QStringLiteral("local.png"));
    QImage local(7, 5, QImage::Format_RGB32);
    local.fill(Qt::red);
    local.save(localPicture);
    pipe = std::make_unique<FifoWatch>(dir.filePath(QStringLiteral("pipe")));

    QImage carried(3, 2, QImage::Format_RGB32);
    carried.fill(Qt::blue);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    carried.save(&buffer, "PNG");
    const QString localUrl = QUrl::fromLocalFile(localPicture).toString();
    const QString pipeUrl = QUrl::fromLocalFile(pipe->path()).toString();
    // An SVG picture naming the pipe, carried in the HTML as SVG and as a would-be PNG.
    const QString svg = QString::fromLatin1(
        QStringLiteral("<svg xmlns='http://www.w3.org/2000/svg' "
                       "xmlns:xlink='http://www.w3.org/1999/xlink' width='9' height='9'>"
                       "<image width='9' height='9' xlink:href='%1'/></svg>")
            .arg(pipe->path())
            .toUtf8()
            .toBase64());
    html = QStringLiteral("<html><head><link rel=\"stylesheet\" href=\"%2\"></head><body>"
                          "<p>One <b>bold</b> word.<img src=\"%1\"><img src=\"%2\">"
                          "<img src=\"%4\"><img src=\"data:image/svg+xml;base64,%5\">"
                          "<img src=\"data:image/png;base64,%5\"></p>"
                          "<ul><li>First</li><li>Second</li></ul>"
                          "<p style=\"background-image: url(%1)\">End"
                          "<img src=\"data:image/png;base64,%3\"></p></body></html>")
               .arg(localUrl, pipeUrl, QString::fromLatin1(png.toBase64()),
                    QFileInfo(localPicture).fileName(), svg);
}

QMimeData* HostilePaste::mimeData() const {
    auto* data = new QMimeData;
    data->setHtml(html);
    data->setText(QStringLiteral("One bold word."));
    return data;
}

QList<QSize> HostilePaste::pictureSizes(QTextDocument& document) {
    QList<QSize> sizes;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat())
                continue;
            const QUrl name(format.toImageFormat().name());
            // Asking a document for a resource may load it: only names that load nothing
            // are asked for.
            if (name.isLocalFile() || name.isRelative()) {
                sizes.append(QSize(-1, -1));
                continue;
            }
            const QVariant picture = document.resource(QTextDocument::ImageResource, name);
            sizes.append(picture.value<QImage>().size());
        }
    }
    return sizes;
}

} // namespace folimar::testing
