#include "hvtag/MemoryPropertyBag.h"

#include <algorithm>

namespace folimar::controls {

QStringList MemoryPropertyBag::names() const {
    QStringList result;
    for (const Entry& entry : entries_)
        result << entry.name;
    return result;
}

std::optional<QVariant> MemoryPropertyBag::find(const QString& name) const {
    const auto latest = std::find_if(entries_.crbegin(), entries_.crend(), [&](const Entry& entry) {
        return entry.name.compare(name, Qt::CaseInsensitive) == 0;
    });
    if (latest == entries_.crend())
        return std::nullopt;
    return latest->value;
}

void MemoryPropertyBag::store(const QString& name, const QVariant& value) {
    entries_.append({name, value});
}

} // namespace folimar::controls
