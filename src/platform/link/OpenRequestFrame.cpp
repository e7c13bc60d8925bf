#include "platform/link/OpenRequestFrame.h"

#include <QStringDecoder>
#include <QtEndian>

namespace folimar::platform {

namespace {

bool IsSendablePath(const QString& path) {
    return path.startsWith(QLatin1Char('/')) && !path.contains(QChar(u'\0'));
}

} // namespace

QByteArray EncodeOpenRequest(const QString& path) {
    if (!IsSendablePath(path))
        return {};
    const QByteArray text = path.toUtf8();
    if (text.size() > MaxOpenRequestBytes)
        return {};
    QByteArray request(OpenRequestHeaderSize, '\0');
    qToBigEndian(static_cast<quint32>(text.size()), request.data());
    return request + text;
}

OpenRequestReader::Status OpenRequestReader::next(QString& path) {
    if (malformed_)
        return Status::Malformed;
    if (buffer_.size() < OpenRequestHeaderSize)
        return Status::NeedMore;
    const quint32 length = qFromBigEndian<quint32>(buffer_.constData());
    if (length > static_cast<quint32>(MaxOpenRequestBytes)) {
        malformed_ = true;
        buffer_.clear();
        return Status::Malformed;
    }
    if (buffer_.size() < OpenRequestHeaderSize + qsizetype(length))
        return Status::NeedMore;

    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(QByteArrayView(buffer_).sliced(OpenRequestHeaderSize, length));
    buffer_.remove(0, OpenRequestHeaderSize + length);
    if (decoder.hasError() || !IsSendablePath(text)) {
        malformed_ = true;
        buffer_.clear();
        return Status::Malformed;
    }
    path = std::move(text);
    return Status::Request;
}

} // namespace folimar::platform
