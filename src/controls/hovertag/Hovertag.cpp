#include "hvtag/Hovertag.h"

#include "controls/hovertag/AboutDialog.h"
#include "hvtag/PropertyBag.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QtMath>
#include <algorithm>

namespace folimar::controls {

namespace {

// The size rule in the container's twips: a minimum size and the margin around the text.
constexpr qreal MinWidthTwips = 1000;
constexpr qreal MinHeightTwips = 500;
constexpr qreal LabelWidthShrinkTwips = 100;
constexpr qreal LabelHeightShrinkTwips = 40;

} // namespace

Hovertag::Hovertag(QWidget* parent)
    : QWidget(parent), Label1(new QLabel(QString::fromLatin1(DesignCaption), this)),
      url_(QString::fromLatin1(MakerUrl)), opener_(desktopUrlOpener()) {
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setMouseTracking(true);
    Label1->installEventFilter(this);
    setMouseTracking(true);
    setAutoFillBackground(true);
    applyBackground();
    setLabelColor(colorNormal_);
}

Hovertag::~Hovertag() = default;

QString Hovertag::caption() const {
    return Label1->text();
}

void Hovertag::setCaption(const QString& caption) {
    Label1->setText(caption);
    updateGeometry();
    Q_EMIT propertyChanged(QStringLiteral("Caption"));
}

void Hovertag::setUnderlineOnMouseOver(bool underline) {
    underlineOnMouseOver_ = underline;
    Q_EMIT propertyChanged(QStringLiteral("UnderlineOnMouseOver"));
}

void Hovertag::setUrl(const QString& url) {
    url_ = url;
    Q_EMIT propertyChanged(QStringLiteral("Url"));
}

QColor Hovertag::colorNormal() const {
    return colorNormal_.toColor(QGuiApplication::palette());
}

void Hovertag::setColorNormal(OleColor color) {
    colorNormal_ = color;
    setLabelColor(color);
    Q_EMIT propertyChanged(QStringLiteral("ColorNormal"));
}

QColor Hovertag::colorOnMouseOver() const {
    return colorOnMouseOver_.toColor(QGuiApplication::palette());
}

void Hovertag::setColorOnMouseOver(OleColor color) {
    colorOnMouseOver_ = color;
    Q_EMIT propertyChanged(QStringLiteral("ColorOnMouseOver"));
}

QColor Hovertag::backColor() const {
    return backColor_.toColor(QGuiApplication::palette());
}

void Hovertag::setBackColor(OleColor color) {
    backColor_ = color;
    applyBackground();
    Q_EMIT propertyChanged(QStringLiteral("BackColor"));
}

void Hovertag::setLogicalDpi(int dpi) {
    logicalDpi_ = std::max(0, dpi);
    updateGeometry();
    applySizeRule();
}

void Hovertag::InitProperties() {
    setUnderlineOnMouseOver(false);
    setUrl(QString::fromLatin1(MakerUrl));
    // A new control only records this colour; its background keeps the button face.
    backColor_ = NewControlBackColor;
    setColorNormal(DefaultColorNormal);
    setColorOnMouseOver(DefaultColorOnMouseOver);
}

void Hovertag::ReadProperties(const PropertyBag& bag) {
    setCaption(bag.readProperty(QStringLiteral("Caption"), StoredCaption).toString());
    setEnabled(bag.readProperty(QStringLiteral("Enabled"), true).toBool());
    const QFont ambient = ambientFont();
    const QVariant font = bag.readProperty(QStringLiteral("Font"), ambient);
    // The ambient font is not set explicitly, so that the control keeps following it.
    if (font.canConvert<QFont>())
        setFont(font.value<QFont>() == ambient ? QFont() : font.value<QFont>());
    // "ColorNormal" is stored twice: first the label's colour, then the stored colour.
    setLabelColor(OleColor::fromVariant(
        bag.readProperty(QStringLiteral("ColorNormal"), DefaultColorNormal.toVariant()),
        DefaultColorNormal));
    setUnderlineOnMouseOver(
        bag.readProperty(QStringLiteral("UnderlineOnMouseOver"), false).toBool());
    setBackColor(OleColor::fromVariant(
        bag.readProperty(QStringLiteral("BackColor"), DefaultBackColor.toVariant()),
        DefaultBackColor));
    setUrl(bag.readProperty(QStringLiteral("Url"), MakerUrl).toString());
    setColorOnMouseOver(OleColor::fromVariant(
        bag.readProperty(QStringLiteral("ColorOnMouseOver"), DefaultColorOnMouseOver.toVariant()),
        DefaultColorOnMouseOver));
    setColorNormal(OleColor::fromVariant(
        bag.readProperty(QStringLiteral("ColorNormal"), DefaultColorNormal.toVariant()),
        DefaultColorNormal));
}

void Hovertag::WriteProperties(PropertyBag& bag) const {
    bag.writeProperty(QStringLiteral("Caption"), caption(), StoredCaption);
    bag.writeProperty(QStringLiteral("Enabled"), isEnabled(), true);
    bag.writeProperty(QStringLiteral("Font"), font(), ambientFont());
    // The label's colour at rest: a save made while the mouse is over the text must not
    // store the hover colour as the normal one.
    bag.writeProperty(QStringLiteral("ColorNormal"), labelColor_.toVariant(),
                      DefaultColorNormal.toVariant());
    bag.writeProperty(QStringLiteral("UnderlineOnMouseOver"), underlineOnMouseOver_, false);
    bag.writeProperty(QStringLiteral("BackColor"), backColor_.toVariant(),
                      DefaultBackColor.toVariant());
    bag.writeProperty(QStringLiteral("Url"), url_, MakerUrl);
    bag.writeProperty(QStringLiteral("ColorOnMouseOver"), colorOnMouseOver_.toVariant(),
                      DefaultColorOnMouseOver.toVariant());
    bag.writeProperty(QStringLiteral("ColorNormal"), colorNormal_.toVariant(),
                      DefaultColorNormal.toVariant());
}

QSize Hovertag::sizeHint() const {
    const qreal tx = twipsPerPixelX();
    const qreal ty = twipsPerPixelY();
    const QSize text = Label1->sizeHint();
    return {
        std::max(qCeil(MinWidthTwips / tx), text.width() + qRound(LabelWidthShrinkTwips / tx)),
        std::max(qCeil(MinHeightTwips / ty), text.height() + qRound(LabelHeightShrinkTwips / ty))};
}

void Hovertag::showAbout() {
    AboutDialog about(opener_, this);
    about.exec();
}

bool Hovertag::eventFilter(QObject* watched, QEvent* event) {
    if (watched != Label1 || !Label1->isEnabled())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseMove:
        showHover();
        return true;
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            pressedOnText_ = true;
        return true;
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return true;
        const bool clicked = pressedOnText_ && Label1->rect().contains(mouse->position().toPoint());
        pressedOnText_ = false;
        const QUrl target = addressToUrl(url_);
        // The opener reports its own failures; the control stays quiet.
        if (clicked && target.isValid() && opener_)
            opener_(target);
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void Hovertag::mouseMoveEvent(QMouseEvent* event) {
    showNormal();
    QWidget::mouseMoveEvent(event);
}

void Hovertag::leaveEvent(QEvent* event) {
    // Leaving the control straight from the text must not leave the highlight behind.
    showNormal();
    QWidget::leaveEvent(event);
}

void Hovertag::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    applySizeRule();
}

void Hovertag::changeEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::FontChange:
        updateGeometry();
        Q_EMIT propertyChanged(QStringLiteral("Font"));
        break;
    case QEvent::EnabledChange:
        Q_EMIT propertyChanged(QStringLiteral("Enabled"));
        break;
    case QEvent::ApplicationPaletteChange:
        // System colours follow the desktop's palette.
        applyBackground();
        paintLabel(hovered_ ? colorOnMouseOver_ : labelColor_);
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

void Hovertag::showHover() {
    hovered_ = true;
    paintLabel(colorOnMouseOver_);
    setUnderline(underlineOnMouseOver_);
}

void Hovertag::showNormal() {
    hovered_ = false;
    setUnderline(false);
    setLabelColor(colorNormal_);
}

void Hovertag::setLabelColor(OleColor color) {
    labelColor_ = color;
    paintLabel(color);
}

void Hovertag::paintLabel(OleColor color) {
    const QColor resolved = color.toColor(QGuiApplication::palette());
    QPalette palette = Label1->palette();
    // The disabled look keeps the style's greyed text.
    palette.setColor(QPalette::Active, QPalette::WindowText, resolved);
    palette.setColor(QPalette::Inactive, QPalette::WindowText, resolved);
    Label1->setPalette(palette);
}

void Hovertag::setUnderline(bool underline) {
    // Only the underline is set on the label; family and size follow the control's Font.
    QFont font;
    font.setUnderline(underline);
    Label1->setFont(font);
}

void Hovertag::applyBackground() {
    QPalette background = palette();
    background.setColor(QPalette::Window, backColor_.toColor(QGuiApplication::palette()));
    setPalette(background);
}

void Hovertag::applySizeRule() {
    const qreal tx = twipsPerPixelX();
    const qreal ty = twipsPerPixelY();
    QSize wanted = size();
    if (wanted.width() < qCeil(MinWidthTwips / tx)) {
        wanted.setWidth(qCeil(MinWidthTwips / tx));
        wanted.setHeight(std::max(wanted.height(), qCeil(MinHeightTwips / ty)));
    }
    if (wanted != size())
        resize(wanted);
    const int labelWidth = std::max(0, wanted.width() - qRound(LabelWidthShrinkTwips / tx));
    const int labelHeight = std::max(0, wanted.height() - qRound(LabelHeightShrinkTwips / ty));
    Label1->setGeometry((wanted.width() - labelWidth) / 2, (wanted.height() - labelHeight) / 2,
                        labelWidth, labelHeight);
}

qreal Hovertag::twipsPerPixelX() const {
    return 1440.0 / (logicalDpi_ > 0 ? logicalDpi_ : std::max(1, logicalDpiX()));
}

qreal Hovertag::twipsPerPixelY() const {
    return 1440.0 / (logicalDpi_ > 0 ? logicalDpi_ : std::max(1, logicalDpiY()));
}

QFont Hovertag::ambientFont() const {
    return parentWidget() ? parentWidget()->font() : QApplication::font();
}

} // namespace folimar::controls
