#pragma once

#include <QByteArray>
#include <optional>

namespace folimar::bookexport {

// Where the pictures' JPEG bytes come from as the document is written: each picture's
// once, in the order the pictures were added, on the writing thread.
class JpegSource {
public:
    virtual ~JpegSource() = default;
    // The bytes of picture `index` (0 the first added); none when they cannot be had.
    virtual std::optional<QByteArray> take(qsizetype index) = 0;
};

} // namespace folimar::bookexport
