#pragma once

#include "recognition/WordAlignment.h"

namespace folimar::recognition {

// The bands that mark the text from `start` to `end` on the picture: one rectangle per
// line over the run of its placed words, in picture pixels, top to bottom. Words of the
// range that have no place on the picture are left out.
QList<QRect> sentenceBands(const QList<PlacedWord>& words, qint32 start, qint32 end);

// The placed word whose box holds `point` (picture pixels), or -1.
qsizetype wordAt(const QList<PlacedWord>& words, const QPoint& point);

} // namespace folimar::recognition
