#pragma once

#include <QByteArray>
#include <QString>

namespace folimar::platform {

// On the link, each request is a 4-byte big-endian length followed by that many bytes of
// UTF-8: the absolute path of a book, nothing else. The receiver answers each request it
// accepts with one byte, OpenRequestAcknowledgement; it ends a connection that sends
// anything else without answering.
inline constexpr char OpenRequestAcknowledgement = '\x06';
inline constexpr qsizetype OpenRequestHeaderSize = 4;
// Far above any path the system can open, and small enough to hold without concern.
inline constexpr qsizetype MaxOpenRequestBytes = 64 * 1024;

// The request carrying `path`; empty when `path` is not a sendable path (empty, relative,
// holding a NUL character, or too long).
QByteArray EncodeOpenRequest(const QString& path);

// Collects the bytes of one connection and takes whole requests out of them, whatever
// pieces they arrive in.
class OpenRequestReader {
public:
    enum class Status { NeedMore, Request, Malformed };

    void append(const QByteArray& bytes) { buffer_.append(bytes); }

    // The next whole request: Request with its path, NeedMore until one is complete, or
    // Malformed (and so on for good) when the bytes cannot be a request.
    Status next(QString& path);

private:
    QByteArray buffer_;
    bool malformed_ = false;
};

} // namespace folimar::platform
