#include "hvtag/PropertyBag.h"

namespace folimar::controls {

PropertyBag::~PropertyBag() = default;

QVariant PropertyBag::readProperty(const QString& name, const QVariant& defaultValue) const {
    return find(name).value_or(defaultValue);
}

void PropertyBag::writeProperty(const QString& name, const QVariant& value,
                                const QVariant& defaultValue) {
    if (value != defaultValue)
        store(name, value);
}

} // namespace folimar::controls
