#include "controls/hovertag/designer/HovertagTaskMenu.h"

#include "hvtag/GeneralPage.h"
#include "hvtag/Hovertag.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtDesigner/QDesignerFormWindowCursorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>

namespace folimar::controls {

HovertagTaskMenu::HovertagTaskMenu(Hovertag* control, QObject* parent)
    : QObject(parent), control_(control),
      editAction_(new QAction(QStringLiteral("General..."), this)) {
    connect(editAction_, &QAction::triggered, this, &HovertagTaskMenu::editGeneral);
}

QAction* HovertagTaskMenu::preferredEditAction() const {
    return editAction_;
}

QList<QAction*> HovertagTaskMenu::taskActions() const {
    return {editAction_};
}

void HovertagTaskMenu::editGeneral() {
    if (!control_)
        return;
    QDialog dialog(control_->window());
    dialog.setWindowTitle(QStringLiteral("General"));
    auto* page = new GeneralPage(&dialog);
    page->setSelectedControls({control_.data()});
    // Changes go through the form's cursor so that they can be undone and are saved.
    if (QDesignerFormWindowInterface* form =
            QDesignerFormWindowInterface::findFormWindow(control_)) {
        page->setPropertyWriter([form](Hovertag& control, const char* name, const QVariant& value) {
            form->cursor()->setWidgetProperty(&control, QString::fromLatin1(name), value);
        });
    }

    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, &dialog);
    QPushButton* apply = buttons->button(QDialogButtonBox::Apply);
    apply->setEnabled(false);
    connect(page, &GeneralPage::changed, apply, [apply] { apply->setEnabled(true); });
    connect(apply, &QPushButton::clicked, page, [page, apply] {
        page->applyChanges();
        apply->setEnabled(false);
    });
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(page);
    layout->addWidget(buttons);
    if (dialog.exec() == QDialog::Accepted && page->isChanged())
        page->applyChanges();
}

} // namespace folimar::controls
