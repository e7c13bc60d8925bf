#include "pictures/TiffDirectories.h"

#include <QtEndian>
#include <optional>
#include <unordered_set>

namespace folimar::pictures {

namespace {

// How a TIFF file is laid out: its byte order, and the sizes that differ in BigTIFF.
struct TiffLayout {
    bool bigEndian = false;
    bool big = false; // BigTIFF: 8-byte offsets and counts
    int headerSize() const { return big ? 16 : 8; }
    int offsetSize() const { return big ? 8 : 4; }
    int countSize() const { return big ? 8 : 2; }
    int entrySize() const { return big ? 20 : 12; }
    int firstPointerAt() const { return big ? 8 : 4; }
};

quint64 number(const QByteArray& bytes, qsizetype at, int size, bool bigEndian) {
    quint64 value = 0;
    for (int i = 0; i < size; ++i) {
        const auto byte = quint64(uchar(bytes[at + (bigEndian ? i : size - 1 - i)]));
        value = value << 8 | byte;
    }
    return value;
}

std::optional<TiffLayout> layoutOf(const QByteArray& head) {
    if (head.size() < 8)
        return std::nullopt;
    TiffLayout layout;
    if (head.startsWith("MM"))
        layout.bigEndian = true;
    else if (!head.startsWith("II"))
        return std::nullopt;
    const quint64 magic = number(head, 2, 2, layout.bigEndian);
    if (magic == 43) {
        // BigTIFF: offsets of 8 bytes, then two bytes of zero.
        if (head.size() < 16 || number(head, 4, 2, layout.bigEndian) != 8 ||
            number(head, 6, 2, layout.bigEndian) != 0)
            return std::nullopt;
        layout.big = true;
    } else if (magic != 42) {
        return std::nullopt;
    }
    return layout;
}

// The bytes at `at`, or fewer at the end of the file.
QByteArray readAt(QIODevice& file, qint64 at, qint64 size) {
    if (!file.seek(at))
        return {};
    return file.read(size);
}

} // namespace

std::vector<qint64> tiffDirectories(QIODevice& file) {
    const QByteArray head = readAt(file, 0, 16);
    const std::optional<TiffLayout> layout = layoutOf(head);
    if (!layout)
        return {};
    const auto fileSize = quint64(file.size());
    std::vector<qint64> directories;
    std::unordered_set<quint64> seen;
    quint64 at = number(head, layout->firstPointerAt(), layout->offsetSize(), layout->bigEndian);
    while (at != 0 && directories.size() < MaxTiffPictures) {
        if (at < quint64(layout->headerSize()) || at >= fileSize || !seen.insert(at).second)
            break;
        const QByteArray countBytes = readAt(file, qint64(at), layout->countSize());
        if (countBytes.size() != layout->countSize())
            break;
        const quint64 entries = number(countBytes, 0, layout->countSize(), layout->bigEndian);
        const quint64 room = fileSize - at - quint64(layout->countSize());
        if (entries > room / quint64(layout->entrySize()))
            break; // its entries reach past the file's end
        const quint64 pointerAt =
            at + quint64(layout->countSize()) + entries * quint64(layout->entrySize());
        const QByteArray next = readAt(file, qint64(pointerAt), layout->offsetSize());
        if (next.size() != layout->offsetSize())
            break; // cut off before its pointer to the next one
        directories.push_back(qint64(at));
        at = number(next, 0, layout->offsetSize(), layout->bigEndian);
    }
    return directories;
}

bool pointToDirectory(char* head, qint64 size, qint64 directory) {
    const std::optional<TiffLayout> layout =
        layoutOf(QByteArray::fromRawData(head, int(std::min<qint64>(size, 16))));
    if (!layout)
        return false;
    uchar* pointer = reinterpret_cast<uchar*>(head) + layout->firstPointerAt();
    if (layout->big)
        layout->bigEndian ? qToBigEndian(quint64(directory), pointer)
                          : qToLittleEndian(quint64(directory), pointer);
    else
        layout->bigEndian ? qToBigEndian(quint32(directory), pointer)
                          : qToLittleEndian(quint32(directory), pointer);
    return true;
}

} // namespace folimar::pictures
