#include "controls/urllink/URLLink.h"

#include "hvtag/PropertyBag.h"
#include "platform/desktop/WidgetDialogs.h"
#include "platform/dialogs/Dialogs.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>

namespace folimar::controls {

namespace {

QString describe(URLLink::OpenError error) {
    switch (error) {
    case URLLink::OpenError::InvalidAddress:
        return QStringLiteral("The address is not valid");
    case URLLink::OpenError::NoHandler:
        return QStringLiteral("No program could be started to open it");
    }
    return {};
}

} // namespace

URLLink::URLLink(QWidget* parent)
    : QWidget(parent), lblURL(new QLabel(QString::fromLatin1(DefaultText), this)),
      url_(QString::fromLatin1(DefaultURL)), opener_(desktopUrlOpener()) {
    lblURL->setObjectName(QStringLiteral("lblURL"));
    // Only the look of a link is set here; family and size follow the control's font.
    QFont linkFont;
    linkFont.setUnderline(true);
    linkFont.setWeight(QFont::Normal);
    lblURL->setFont(linkFont);
    QPalette palette = lblURL->palette();
    palette.setColor(QPalette::WindowText, LinkColor);
    lblURL->setPalette(palette);
    lblURL->setCursor(Qt::PointingHandCursor);
    lblURL->installEventFilter(this);
    fitLabel();
}

QString URLLink::text() const {
    return lblURL->text();
}

void URLLink::setText(const QString& text) {
    lblURL->setText(text);
    fitLabel();
    Q_EMIT propertyChanged(QStringLiteral("Text"));
}

void URLLink::setURL(const QString& url) {
    url_ = url;
    updateToolTip();
    Q_EMIT propertyChanged(QStringLiteral("URL"));
}

void URLLink::setShowToolTip(bool show) {
    showToolTip_ = show;
    updateToolTip();
    Q_EMIT propertyChanged(QStringLiteral("ShowToolTip"));
}

void URLLink::InitProperties() {
    setText(QString::fromLatin1(DefaultText));
    setURL(QString::fromLatin1(DefaultURL));
    setShowToolTip(false);
}

void URLLink::ReadProperties(const PropertyBag& bag) {
    setText(bag.readProperty(QStringLiteral("Text"), DefaultText).toString());
    setURL(bag.readProperty(QStringLiteral("URL"), DefaultURL).toString());
    setShowToolTip(bag.readProperty(QStringLiteral("ShowToolTip"), false).toBool());
}

void URLLink::WriteProperties(PropertyBag& bag) const {
    bag.writeProperty(QStringLiteral("Text"), text(), DefaultText);
    bag.writeProperty(QStringLiteral("URL"), url_, DefaultURL);
    bag.writeProperty(QStringLiteral("ShowToolTip"), showToolTip_, false);
}

QSize URLLink::sizeHint() const {
    return lblURL->size();
}

bool URLLink::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblURL && event->type() == QEvent::MouseButtonPress) {
        if (static_cast<QMouseEvent*>(event)->buttons() & Qt::LeftButton)
            open();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void URLLink::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        fitLabel();
    QWidget::changeEvent(event);
}

void URLLink::open() {
    QString address = url_;
    bool cancel = false;
    Q_EMIT aboutToOpen(&cancel, &address);
    if (cancel)
        return;

    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const std::optional<OpenError> error = openAddress(address);
    QGuiApplication::restoreOverrideCursor();
    if (error)
        reportFailure(address, *error);
}

std::optional<URLLink::OpenError> URLLink::openAddress(const QString& address) {
    const QUrl target = addressToUrl(address);
    if (!target.isValid())
        return OpenError::InvalidAddress;
    if (!opener_ || !opener_(target))
        return OpenError::NoHandler;
    return std::nullopt;
}

void URLLink::reportFailure(const QString& address, OpenError error) {
    const QString text = QStringLiteral("Unable to load '") + address + QStringLiteral("' : ") +
                         describe(error) + QStringLiteral(" (Error ") +
                         QString::number(int(error)) + QStringLiteral(")");
    const QString title = QCoreApplication::applicationName();
    if (dialogs_) {
        dialogs_->inform(text, title);
        return;
    }
    platform::WidgetDialogs(window()).inform(text, title);
}

void URLLink::fitLabel() {
    lblURL->move(0, 0);
    lblURL->resize(lblURL->fontMetrics().size(Qt::TextSingleLine, lblURL->text()));
    updateGeometry();
}

void URLLink::updateToolTip() {
    lblURL->setToolTip(showToolTip_ ? url_ : QString());
}

} // namespace folimar::controls
