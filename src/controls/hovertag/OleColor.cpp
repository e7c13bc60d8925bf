#include "hvtag/OleColor.h"

#include <array>

namespace folimar::controls {

namespace {

struct SystemColor {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The desktop colours by their stored index, mapped to the nearest palette role.
constexpr std::array<SystemColor, 31> systemColors{{
    {QPalette::Active, QPalette::Button},          // 0 scroll bar
    {QPalette::Active, QPalette::Window},          // 1 desktop
    {QPalette::Active, QPalette::Highlight},       // 2 active title bar
    {QPalette::Inactive, QPalette::Highlight},     // 3 inactive title bar
    {QPalette::Active, QPalette::Window},          // 4 menu
    {QPalette::Active, QPalette::Base},            // 5 window
    {QPalette::Active, QPalette::Shadow},          // 6 window frame
    {QPalette::Active, QPalette::WindowText},      // 7 menu text
    {QPalette::Active, QPalette::Text},            // 8 window text
    {QPalette::Active, QPalette::HighlightedText}, // 9 title bar text
    {QPalette::Active, QPalette::Window},          // 10 active border
    {QPalette::Inactive, QPalette::Window},        // 11 inactive border
    {QPalette::Active, QPalette::Dark},            // 12 application workspace
    {QPalette::Active, QPalette::Highlight},       // 13 highlight
    {QPalette::Active, QPalette::HighlightedText}, // 14 highlight text
    {QPalette::Active, QPalette::Button},          // 15 button face
    {QPalette::Active, QPalette::Mid},             // 16 button shadow
    {QPalette::Disabled, QPalette::Text},          // 17 grey text
    {QPalette::Active, QPalette::ButtonText},      // 18 button text
    {QPalette::Inactive, QPalette::WindowText},    // 19 inactive title bar text
    {QPalette::Active, QPalette::Light},           // 20 button highlight
    {QPalette::Active, QPalette::Shadow},          // 21 3D dark shadow
    {QPalette::Active, QPalette::Midlight},        // 22 3D light
    {QPalette::Active, QPalette::ToolTipText},     // 23 tool tip text
    {QPalette::Active, QPalette::ToolTipBase},     // 24 tool tip background
    {QPalette::Active, QPalette::Window},          // 25 unused
    {QPalette::Active, QPalette::Link},            // 26 hot-tracked item
    {QPalette::Active, QPalette::Highlight},       // 27 active title gradient
    {QPalette::Inactive, QPalette::Highlight},     // 28 inactive title gradient
    {QPalette::Active, QPalette::Highlight},       // 29 menu highlight
    {QPalette::Active, QPalette::Window},          // 30 menu bar
}};

} // namespace

OleColor OleColor::fromColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return OleColor(quint32(rgb.red()) | quint32(rgb.green()) << 8 | quint32(rgb.blue()) << 16);
}

OleColor OleColor::fromVariant(const QVariant& stored, OleColor fallback) {
    if (stored.metaType() == QMetaType::fromType<QColor>()) {
        const QColor color = stored.value<QColor>();
        return color.isValid() ? fromColor(color) : fallback;
    }
    bool ok = false;
    const qlonglong number = stored.toLongLong(&ok);
    if (!ok || number < 0 || number > 0xFFFFFFFFll)
        return fallback;
    return OleColor(quint32(number));
}

QColor OleColor::toColor(const QPalette& palette) const {
    if (isSystem()) {
        const quint32 index = value & ~SystemFlag;
        if (index >= systemColors.size())
            return QColor(Qt::black);
        const SystemColor& entry = systemColors[index];
        return palette.color(entry.group, entry.role);
    }
    return QColor(int(value & 0xFF), int(value >> 8 & 0xFF), int(value >> 16 & 0xFF));
}

} // namespace folimar::controls
