#pragma once

#include <QObject>
#include <QPointer>
#include <QtDesigner/QDesignerTaskMenuExtension>

class QAction;

namespace folimar::controls {

class Hovertag;

// The "General..." entry of a Hovertag's context menu in the form editor.
class HovertagTaskMenu : public QObject, public QDesignerTaskMenuExtension {
    Q_OBJECT
    Q_INTERFACES(QDesignerTaskMenuExtension)

public:
    HovertagTaskMenu(Hovertag* control, QObject* parent);

    QAction* preferredEditAction() const override;
    QList<QAction*> taskActions() const override;

private:
    void editGeneral();

    QPointer<Hovertag> control_;
    QAction* editAction_;
};

} // namespace folimar::controls
