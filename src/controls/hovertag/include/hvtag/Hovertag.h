#pragma once

#include "hvtag/OleColor.h"
#include "hvtag/UrlOpener.h"
#include "hvtag/hvtag_export.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

class QLabel;

namespace folimar::controls {

class PropertyBag;

// A text label that acts as a web link: its caption shows in the normal colour, switches
// to the hover colour (and optionally underlines) while the mouse is over the text, and a
// click opens the address with the user's default handler.
class HVTAG_EXPORT Hovertag : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption DESIGNABLE true)
    Q_PROPERTY(QFont Font READ font WRITE setFont DESIGNABLE true)
    Q_PROPERTY(bool UnderlineOnMouseOver READ underlineOnMouseOver WRITE setUnderlineOnMouseOver
                   DESIGNABLE true)
    Q_PROPERTY(QString Url READ url WRITE setUrl DESIGNABLE true)
    Q_PROPERTY(QColor ColorNormal READ colorNormal WRITE setColorNormal DESIGNABLE true)
    Q_PROPERTY(
        QColor ColorOnMouseOver READ colorOnMouseOver WRITE setColorOnMouseOver DESIGNABLE true)
    Q_PROPERTY(QColor BackColor READ backColor WRITE setBackColor DESIGNABLE true)
    Q_PROPERTY(bool Enabled READ isEnabled WRITE setEnabled DESIGNABLE true)

public:
    static constexpr auto DesignCaption = "Tessaro!";
    static constexpr auto StoredCaption = "Weblink";
    static constexpr auto MakerUrl = "https://tessaro.example.org/";
    static constexpr OleColor DefaultColorNormal{0xFF0000u};
    static constexpr OleColor DefaultColorOnMouseOver{0x0000FFu};
    static constexpr OleColor DefaultBackColor = OleColor::system(15);
    static constexpr OleColor NewControlBackColor{0xABABABu};

    explicit Hovertag(QWidget* parent = nullptr);
    ~Hovertag() override;

    QString caption() const;
    void setCaption(const QString& caption);
    bool underlineOnMouseOver() const { return underlineOnMouseOver_; }
    void setUnderlineOnMouseOver(bool underline);
    QString url() const { return url_; }
    void setUrl(const QString& url);

    // Colours read back resolved against the palette; the stored values keep system
    // colours symbolic.
    QColor colorNormal() const;
    void setColorNormal(const QColor& color) { setColorNormal(OleColor::fromColor(color)); }
    void setColorNormal(OleColor color);
    OleColor colorNormalValue() const { return colorNormal_; }
    QColor colorOnMouseOver() const;
    void setColorOnMouseOver(const QColor& color) {
        setColorOnMouseOver(OleColor::fromColor(color));
    }
    void setColorOnMouseOver(OleColor color);
    OleColor colorOnMouseOverValue() const { return colorOnMouseOver_; }
    QColor backColor() const;
    void setBackColor(const QColor& color) { setBackColor(OleColor::fromColor(color)); }
    void setBackColor(OleColor color);
    OleColor backColorValue() const { return backColor_; }

    void setUrlOpener(UrlOpener opener) { opener_ = std::move(opener); }
    // Dots per inch used to turn the twips of the size rule into pixels; 0 means the
    // screen's logical DPI.
    void setLogicalDpi(int dpi);

    // Container life cycle: a newly placed control, loading and saving.
    void InitProperties();
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    QSize sizeHint() const override;

public Q_SLOTS:
    // Show the about information.
    void showAbout();

Q_SIGNALS:
    // Tells the container that the property of this name changed.
    void propertyChanged(const QString& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void showHover();
    void showNormal();
    void setLabelColor(OleColor color);
    void paintLabel(OleColor color);
    void setUnderline(bool underline);
    void applyBackground();
    void applySizeRule();
    qreal twipsPerPixelX() const;
    qreal twipsPerPixelY() const;
    QFont ambientFont() const;

    QLabel* Label1;
    QString url_;
    OleColor colorNormal_ = DefaultColorNormal;
    OleColor colorOnMouseOver_ = DefaultColorOnMouseOver;
    OleColor backColor_ = DefaultBackColor;
    OleColor labelColor_ = DefaultColorNormal;
    bool underlineOnMouseOver_ = false;
    bool hovered_ = false;
    bool pressedOnText_ = false;
    int logicalDpi_ = 0;
    UrlOpener opener_;
};

} // namespace folimar::controls
