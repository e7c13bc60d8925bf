#pragma once

#include <QtDesigner/QExtensionFactory>

namespace folimar::controls {

// Gives every Hovertag on a form its task menu.
class HovertagTaskMenuFactory : public QExtensionFactory {
    Q_OBJECT

public:
    explicit HovertagTaskMenuFactory(QExtensionManager* parent);

protected:
    QObject* createExtension(QObject* object, const QString& iid, QObject* parent) const override;
};

} // namespace folimar::controls
