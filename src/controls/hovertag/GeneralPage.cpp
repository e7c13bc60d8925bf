#include "hvtag/GeneralPage.h"

#include "hvtag/Hovertag.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace folimar::controls {

GeneralPage::GeneralPage(QWidget* parent)
    : QWidget(parent), txtUrl(new QLineEdit(this)),
      chkUnderlineOnMouseOver(new QCheckBox(QStringLiteral("UnderlineOnMouseOver"), this)),
      txtCaption(new QLineEdit(this)),
      writer_([](Hovertag& control, const char* name, const QVariant& value) {
          control.setProperty(name, value);
      }) {
    setObjectName(QStringLiteral("General"));
    txtUrl->setObjectName(QStringLiteral("txtUrl"));
    chkUnderlineOnMouseOver->setObjectName(QStringLiteral("chkUnderlineOnMouseOver"));
    txtCaption->setObjectName(QStringLiteral("txtCaption"));

    auto* urlLabel =
        new QLabel(QStringLiteral("Url: (  http:// ,  ftp:// ,  mailto://  ,etc....)"), this);
    urlLabel->setBuddy(txtUrl);
    auto* captionLabel = new QLabel(QStringLiteral("Caption:"), this);
    captionLabel->setBuddy(txtCaption);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(urlLabel);
    layout->addWidget(txtUrl);
    layout->addWidget(chkUnderlineOnMouseOver);
    layout->addWidget(captionLabel);
    layout->addWidget(txtCaption);
    layout->addStretch();

    connect(txtUrl, &QLineEdit::textEdited, this, &GeneralPage::markChanged);
    connect(txtCaption, &QLineEdit::textEdited, this, &GeneralPage::markChanged);
    connect(chkUnderlineOnMouseOver, &QCheckBox::clicked, this, &GeneralPage::markChanged);
}

void GeneralPage::setSelectedControls(const QList<Hovertag*>& controls) {
    selected_.clear();
    for (Hovertag* control : controls)
        selected_.append(control);
    if (!selected_.isEmpty() && selected_.first()) {
        const Hovertag& first = *selected_.first();
        txtUrl->setText(first.url());
        chkUnderlineOnMouseOver->setChecked(first.underlineOnMouseOver());
        txtCaption->setText(first.caption());
    }
    changed_ = false;
}

void GeneralPage::applyChanges() {
    if (selected_.isEmpty() || !selected_.first())
        return;
    Hovertag& first = *selected_.first();
    writer_(first, "Url", txtUrl->text());
    writer_(first, "UnderlineOnMouseOver", chkUnderlineOnMouseOver->isChecked());
    writer_(first, "Caption", txtCaption->text());
    changed_ = false;
}

void GeneralPage::markChanged() {
    changed_ = true;
    Q_EMIT changed();
}

} // namespace folimar::controls
