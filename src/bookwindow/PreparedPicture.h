#pragma once

#include <QByteArray>
#include <QFuture>
#include <QImage>
#include <QSize>

namespace folimar::bookwindow {

// A page picture drawn ahead on a worker thread (the next page, while the current one is
// read aloud), handed out only for exactly the same bytes at exactly the same size, so a
// page turn never shows anything but what it would have drawn itself.
class PreparedPicture {
public:
    // Starts drawing the JPEG `jpeg` at `size`, in place of any earlier preparation.
    void prepare(QByteArray jpeg, QSize size);
    // The drawing prepared for these bytes at this size, perhaps still under way; none
    // (not valid) when none was prepared for them. Its picture is null when it could not
    // be drawn.
    QFuture<QImage> take(const QByteArray& jpeg, QSize size);
    void clear();

private:
    QByteArray jpeg_;
    QSize size_;
    QFuture<QImage> drawing_;
};

} // namespace folimar::bookwindow
