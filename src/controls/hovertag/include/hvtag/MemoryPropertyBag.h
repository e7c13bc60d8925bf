#pragma once

#include "hvtag/PropertyBag.h"
#include "hvtag/hvtag_export.h"

#include <QList>

namespace folimar::controls {

// A property bag held in memory. It records every write in order, so a name written twice
// appears twice; a read answers with the latest value written under that name.
class HVTAG_EXPORT MemoryPropertyBag final : public PropertyBag {
public:
    struct Entry {
        QString name;
        QVariant value;
    };

    const QList<Entry>& entries() const { return entries_; }
    QStringList names() const;
    bool contains(const QString& name) const { return find(name).has_value(); }

protected:
    std::optional<QVariant> find(const QString& name) const override;
    void store(const QString& name, const QVariant& value) override;

private:
    QList<Entry> entries_;
};

} // namespace folimar::controls
