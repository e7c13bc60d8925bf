#pragma once

#include "hvtag/hvtag_export.h"

#include <QString>
#include <QVariant>
#include <optional>

namespace folimar::controls {

// The container's store for a control's saved properties. Names are matched without
// regard to case; a value equal to its default is not written, so a missing name reads
// back as the default.
class HVTAG_EXPORT PropertyBag {
public:
    virtual ~PropertyBag();

    QVariant readProperty(const QString& name, const QVariant& defaultValue) const;
    void writeProperty(const QString& name, const QVariant& value, const QVariant& defaultValue);

protected:
    virtual std::optional<QVariant> find(const QString& name) const = 0;
    virtual void store(const QString& name, const QVariant& value) = 0;
};

} // namespace folimar::controls
