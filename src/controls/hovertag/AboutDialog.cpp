#include "controls/hovertag/AboutDialog.h"

#include "controls/hovertag/TessaroLogo.h"
#include "hvtag/Hovertag.h"

#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace folimar::controls {

namespace {

QLabel* namedLabel(const QString& text, const char* name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

} // namespace

AboutDialog::AboutDialog(UrlOpener opener, QWidget* parent)
    : QDialog(parent),
      lblAddress(namedLabel(QString::fromLatin1(Hovertag::MakerUrl), "lblAddress", this)),
      opener_(std::move(opener)) {
    setObjectName(QStringLiteral("About"));
    setWindowTitle(QStringLiteral("About .."));

    auto* product = namedLabel(QStringLiteral("Tessaro"), "lblProduct", this);
    QFont productFont = product->font();
    productFont.setPointSizeF(productFont.pointSizeF() * 2);
    productFont.setBold(true);
    product->setFont(productFont);

    lblAddress->setCursor(Qt::PointingHandCursor);
    lblAddress->setForegroundRole(QPalette::Link);
    lblAddress->installEventFilter(this);

    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new TessaroLogo(this), 0, 0, 4, 1, Qt::AlignTop);
    layout->addWidget(product, 0, 1);
    layout->addWidget(namedLabel(QStringLiteral("Control"), "lblControl", this), 1, 1);
    layout->addWidget(namedLabel(QStringLiteral("2.2"), "lblVersion", this), 2, 1);
    layout->addWidget(namedLabel(QStringLiteral("A link that lights up under the mouse."),
                                 "lblDescription", this),
                      3, 1);
    layout->addWidget(lblAddress, 4, 1);
    layout->addWidget(ok, 5, 1, Qt::AlignRight);
}

bool AboutDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblAddress) {
        switch (event->type()) {
        case QEvent::Enter:
            underlineAddress(true);
            break;
        case QEvent::Leave:
            underlineAddress(false);
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && opener_)
                opener_(addressToUrl(lblAddress->text()));
            break;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void AboutDialog::underlineAddress(bool underline) {
    QFont font = lblAddress->font();
    font.setUnderline(underline);
    lblAddress->setFont(font);
}

} // namespace folimar::controls
