#include "infowindows/AboutWindow.h"

#include "controls/urllink/URLLink.h"
#include "infowindows/InfoLinks.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace folimar::infowindows {

namespace {

QLabel* namedLabel(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

} // namespace

AboutWindow::AboutWindow(const QString& programName, QWidget* parent)
    : QDialog(parent), opener_(controls::desktopUrlOpener()) {
    setObjectName(QStringLiteral("About"));
    setWindowTitle(QStringLiteral("About ") + programName);
    setModal(false);

    Label1 = namedLabel("Label1", programName + QStringLiteral(" Ver 1.91"), this);
    QFont title = Label1->font();
    title.setBold(true);
    title.setPointSizeF(title.pointSizeF() * 1.5);
    Label1->setFont(title);

    lblNotice = namedLabel(
        "lblNotice",
        QStringLiteral("The speaking character is drawn by %1's own character service and "
                       "speaks through espeak-ng.")
            .arg(programName),
        this);
    lblNotice->setWordWrap(true);

    lblCreatedBy = namedLabel("lblCreatedBy", QStringLiteral("Document Created By:"), this);
    txtOwner = new QLineEdit(this);
    txtOwner->setObjectName(QStringLiteral("txtOwner"));
    txtOwner->setReadOnly(true);
    lblCreatedBy->setBuddy(txtOwner);

    URLLink1 = new controls::URLLink(this);
    URLLink1->setObjectName(QStringLiteral("URLLink1"));
    URLLink1->setText(programName + QStringLiteral(" Home Page"));
    URLLink1->setURL(QLatin1String(ProgramPageAddress));
    URLLink1->setShowToolTip(true);

    Label2 = namedLabel("Label2", QStringLiteral("Made by the Folimar team"), this);
    Label2->setCursor(Qt::PointingHandCursor);
    Label2->setToolTip(QLatin1String(MakerPageAddress));
    Label2->installEventFilter(this);

    cmdExit = new QPushButton(QStringLiteral("E&xit"), this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    cmdExit->setDefault(true);
    connect(cmdExit, &QPushButton::clicked, this, &QDialog::close);

    auto* owner = new QFormLayout;
    owner->addRow(lblCreatedBy, txtOwner);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(URLLink1, 0, Qt::AlignVCenter);
    bottom->addStretch();
    bottom->addWidget(cmdExit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(lblNotice);
    layout->addSpacing(8);
    layout->addLayout(owner);
    layout->addWidget(Label2);
    layout->addStretch();
    layout->addLayout(bottom);
    setMinimumWidth(420);
}

void AboutWindow::setDocumentOwner(const QString& owner) {
    txtOwner->setText(owner);
}

void AboutWindow::setUrlOpener(controls::UrlOpener opener) {
    URLLink1->setUrlOpener(opener);
    opener_ = std::move(opener);
}

bool AboutWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label2 && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (opener_)
            opener_(controls::addressToUrl(QLatin1String(MakerPageAddress)));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace folimar::infowindows
