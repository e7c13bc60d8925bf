#include "reader/SafePaste.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTextList>
#include <QUrl>

namespace folimar::reader {

namespace {

// The clipboard's HTML is parsed in a document that answers every resource it asks for
// (a linked or imported style sheet, say) with nothing, so parsing reads no file.
class ResourcelessDocument final : public QTextDocument {
public:
    using QTextDocument::QTextDocument;

protected:
    QVariant loadResource(int, const QUrl&) override { return {}; }
};

// The picture a data: address holds, decoded under the same memory limit as page pictures
// (Qt's image allocation limit); null for anything else or anything too large. Only PNG and
// GIF are read, and by their own reader: Qt would otherwise pick the reader by the bytes,
// and an SVG picture could name further files, a progressive JPEG claim gigabytes.
QImage dataPicture(const QString& address) {
    if (address.size() > MaxPastedPictureBytes * 2 ||
        !address.startsWith(QLatin1String("data:"), Qt::CaseInsensitive))
        return {};
    const qsizetype comma = address.indexOf(QLatin1Char(','));
    if (comma < 0)
        return {};
    const QString header = address.mid(5, comma - 5);
    const QByteArray payload = address.mid(comma + 1).toLatin1();
    const QByteArray bytes = header.endsWith(QLatin1String(";base64"), Qt::CaseInsensitive)
                                 ? QByteArray::fromBase64(payload)
                                 : QByteArray::fromPercentEncoding(payload);
    if (bytes.size() > MaxPastedPictureBytes)
        return {};
    const char* format = bytes.startsWith("\x89PNG\r\n\x1a\n") ? "png"
                         : bytes.startsWith("GIF8")            ? "gif"
                                                               : nullptr;
    if (!format)
        return {};
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    QImage image;
    if (!reader.read(&image))
        return {};
    return image;
}

QTextCharFormat readingFormat(const QTextCharFormat& in) {
    QTextCharFormat out;
    if (in.fontWeight() >= QFont::DemiBold)
        out.setFontWeight(QFont::Bold);
    if (in.fontItalic())
        out.setFontItalic(true);
    if (in.fontUnderline())
        out.setFontUnderline(true);
    return out;
}

void insertPicture(QTextCursor& out, const QTextImageFormat& in) {
    const QImage image = dataPicture(in.name());
    if (image.isNull())
        return;
    const QByteArray key = QCryptographicHash::hash(
        QByteArrayView(image.constBits(), image.sizeInBytes()), QCryptographicHash::Sha1);
    const QString name = QStringLiteral("pasted-picture:%1x%2-%3")
                             .arg(image.width())
                             .arg(image.height())
                             .arg(QString::fromLatin1(key.toHex()));
    out.document()->addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat picture;
    picture.setName(name);
    // A size the HTML gives is kept when it is no larger than the picture itself.
    picture.setWidth(in.width() > 0 && in.width() < image.width() ? in.width() : image.width());
    picture.setHeight(in.height() > 0 && in.height() < image.height() ? in.height()
                                                                      : image.height());
    out.insertImage(picture);
}

void copyBlock(const QTextBlock& block, QTextCursor& out, QHash<QTextList*, QTextList*>& lists) {
    if (QTextList* list = block.textList()) {
        if (QTextList* copy = lists.value(list)) {
            copy->add(out.block());
        } else {
            QTextListFormat format;
            format.setStyle(list->format().style());
            format.setIndent(qBound(1, list->format().indent(), 8));
            lists.insert(list, out.createList(format));
        }
    }
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat format = fragment.charFormat();
        if (format.isImageFormat())
            insertPicture(out, format.toImageFormat());
        else
            out.insertText(fragment.text(), readingFormat(format));
    }
}

// The names of pictures a document holds, with the pictures.
QHash<QString, QImage> pictures(const QTextDocument& document) {
    QHash<QString, QImage> found;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat())
                continue;
            const QString name = format.toImageFormat().name();
            found.insert(
                name, document.resource(QTextDocument::ImageResource, QUrl(name)).value<QImage>());
        }
    }
    return found;
}

void addPictures(const QTextDocument& from, QTextDocument& to) {
    const QHash<QString, QImage> found = pictures(from);
    for (auto it = found.cbegin(); it != found.cend(); ++it)
        to.addResource(QTextDocument::ImageResource, QUrl(it.key()), it.value());
}

// What the clipboard holds, ready to go in: plain text, or a safe rich document.
struct Paste {
    PasteOutcome outcome = PasteOutcome::Nothing;
    QString plain;
    std::unique_ptr<QTextDocument> rich;
};

Paste readPaste(const QMimeData* data) {
    Paste paste;
    if (!data)
        return paste;
    if (data->hasHtml()) {
        const QString html = data->html();
        if (html.size() <= MaxPasteHtmlCharacters) {
            paste.rich = safeDocumentFromHtml(html);
            if (paste.rich->characterCount() - 1 > MaxPasteCharacters)
                paste.outcome = PasteOutcome::TooLong;
            else if (!paste.rich->isEmpty())
                paste.outcome = PasteOutcome::Pasted;
            return paste;
        }
        if (!data->hasText()) {
            paste.outcome = PasteOutcome::TooLong;
            return paste;
        }
    }
    if (!data->hasText())
        return paste;
    paste.plain = data->text();
    if (paste.plain.size() > MaxPasteCharacters)
        paste.outcome = PasteOutcome::TooLong;
    else if (!paste.plain.isEmpty())
        paste.outcome = PasteOutcome::Pasted;
    return paste;
}

} // namespace

std::unique_ptr<QTextDocument> safeDocumentFromHtml(const QString& html) {
    ResourcelessDocument parsed;
    parsed.setHtml(html);
    auto safe = std::make_unique<ResourcelessDocument>();
    QTextCursor out(safe.get());
    QHash<QTextList*, QTextList*> lists;
    for (QTextBlock block = parsed.begin(); block.isValid(); block = block.next()) {
        if (block != parsed.begin())
            out.insertBlock(QTextBlockFormat(), QTextCharFormat());
        copyBlock(block, out, lists);
    }
    return safe;
}

PasteOutcome insertPaste(const QMimeData* data, QTextCursor& cursor) {
    Paste paste = readPaste(data);
    if (paste.outcome != PasteOutcome::Pasted)
        return paste.outcome;
    if (paste.rich) {
        addPictures(*paste.rich, *cursor.document());
        cursor.insertFragment(QTextDocumentFragment(paste.rich.get()));
    } else {
        cursor.insertText(paste.plain);
    }
    return PasteOutcome::Pasted;
}

PasteOutcome replaceWithPaste(const QMimeData* data, QTextEdit& edit) {
    Paste paste = readPaste(data);
    if (paste.outcome != PasteOutcome::Pasted)
        return paste.outcome;
    // Set as a whole, the text is laid out as it is shown rather than all at once.
    if (paste.rich) {
        edit.setHtml(paste.rich->toHtml());
        addPictures(*paste.rich, *edit.document());
    } else {
        edit.setPlainText(paste.plain);
    }
    return PasteOutcome::Pasted;
}

QString pasteTooLongMessage() {
    return QStringLiteral("The text on the clipboard is too long to paste. At most %L1 "
                          "characters can be read at a time: copy a shorter part.")
        .arg(MaxPasteCharacters);
}

} // namespace folimar::reader
