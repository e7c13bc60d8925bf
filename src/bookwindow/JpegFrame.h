#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <optional>
#include <vector>

namespace folimar::bookwindow {

// What a JPEG's markers say before any picture data: its size, its components' sampling,
// and whether the decoder must hold the whole picture's coefficients at once (a
// progressive picture, or one whose first scan does not carry every component).
struct JpegFrame {
    struct Component {
        int horizontal = 1;
        int vertical = 1;
    };
    int width = 0;
    int height = 0;
    std::vector<Component> components;
    bool wholePictureBuffered = false;
};

// The frame of `jpeg`; none when its markers do not lead to a frame header.
std::optional<JpegFrame> ReadJpegFrame(const QByteArray& jpeg);

// The bytes the decoder sets aside for the picture at full size whatever size it is
// decoded at: the whole picture's coefficients when they are buffered, else none.
qint64 FullSizeBufferBytes(const JpegFrame& frame);

} // namespace folimar::bookwindow
