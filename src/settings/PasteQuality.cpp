#include "settings/PasteQuality.h"

#include <QRegularExpression>

namespace folimar::settings {

bool isPasteQuality(const QString& setting) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,3}$"));
    return digits.match(setting).hasMatch() && setting.toInt() <= 100;
}

int pasteQualityOf(const QString& setting) {
    return isPasteQuality(setting) ? setting.toInt() : DefaultPasteQuality;
}

} // namespace folimar::settings
