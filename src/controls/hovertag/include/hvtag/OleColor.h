#pragma once

#include "hvtag/hvtag_export.h"

#include <QColor>
#include <QPalette>
#include <QVariant>

namespace folimar::controls {

// A colour in the stored numeric form: 0x00BBGGRR, or 0x80000000 plus an index for one of
// the desktop's colours (15 is the button face), which follows the current palette.
struct HVTAG_EXPORT OleColor {
    static constexpr quint32 SystemFlag = 0x80000000u;

    quint32 value = 0;

    constexpr OleColor() = default;
    explicit constexpr OleColor(quint32 raw) : value(raw) {}

    static OleColor fromColor(const QColor& color);
    static constexpr OleColor system(quint32 index) { return OleColor(SystemFlag | index); }
    // Accepts a stored number or a QColor; anything else gives the fallback.
    static OleColor fromVariant(const QVariant& stored, OleColor fallback);

    constexpr bool isSystem() const { return (value & SystemFlag) != 0; }
    QColor toColor(const QPalette& palette) const;
    QVariant toVariant() const { return QVariant::fromValue(value); }

    friend constexpr bool operator==(OleColor, OleColor) = default;
};

} // namespace folimar::controls
