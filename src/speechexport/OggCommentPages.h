#pragma once

#include <QByteArray>
#include <QHash>
#include <QtGlobal>
#include <optional>

namespace folimar::speechexport {

// The pages of an Ogg Opus stream's comment header, as the stream's first bytes hold them:
// where they lie, so that the comments can be written again in place once the sound is
// encoded (the chapters' times are known only then).
class OggCommentPages {
public:
    // Takes the stream's bytes from its start, as they are written. True once the comment
    // header is complete in what was taken; later bytes are not kept.
    bool take(const QByteArray& bytes);
    bool complete() const { return complete_; }

    // The comment pages with each comment whose key is in `values` given that value, each
    // page at its offset from the stream's start; the header keeps its length, the
    // padding after the comments taking up the difference. None when the comments would
    // no longer fit, or the header is not complete or not one of Opus's.
    struct Page {
        qint64 offset;
        QByteArray bytes;
    };
    std::optional<QList<Page>> withValues(const QHash<QByteArray, QByteArray>& values) const;

private:
    struct PageSpan {
        qsizetype start;     // of the page in head_
        qsizetype bodyStart; // of its body
        qsizetype bodySize;
    };
    QByteArray head_;
    QList<PageSpan> pages_; // the comment header's pages
    bool complete_ = false;
};

// The checksum of an Ogg page, its own checksum field taken as zero.
quint32 oggChecksum(const QByteArray& page);

} // namespace folimar::speechexport
