#include "controls/hovertag/designer/HovertagTaskMenuFactory.h"

#include "controls/hovertag/designer/HovertagTaskMenu.h"
#include "hvtag/Hovertag.h"

namespace folimar::controls {

HovertagTaskMenuFactory::HovertagTaskMenuFactory(QExtensionManager* parent)
    : QExtensionFactory(parent) {}

QObject* HovertagTaskMenuFactory::createExtension(QObject* object, const QString& iid,
                                                  QObject* parent) const {
    auto* control = qobject_cast<Hovertag*>(object);
    if (!control || iid != Q_TYPEID(QDesignerTaskMenuExtension))
        return nullptr;
    return new HovertagTaskMenu(control, parent);
}

} // namespace folimar::controls
