#pragma once

#include "hvtag/UrlOpener.h"

#include <QColor>
#include <QString>
#include <QWidget>
#include <optional>

class QLabel;

namespace folimar::platform {
class Dialogs;
}

namespace folimar::controls {

class PropertyBag;

// A one-line label that looks like a web link; a left press opens its address with the
// user's default handler, after the container had a chance to cancel or change it.
class URLLink : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Text READ text WRITE setText)
    Q_PROPERTY(QString URL READ url WRITE setURL)
    Q_PROPERTY(bool ShowToolTip READ showToolTip WRITE setShowToolTip)

public:
    static constexpr auto DefaultText = "Corvane Home Page";
    static constexpr auto DefaultURL = "https://folimar.example.org/";
    static constexpr QColor LinkColor{0, 0, 192};

    // The errors an opening can report, numbered as they appear in the message.
    enum class OpenError { InvalidAddress = 1, NoHandler = 2 };

    explicit URLLink(QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    QString url() const { return url_; }
    void setURL(const QString& url);
    bool showToolTip() const { return showToolTip_; }
    void setShowToolTip(bool show);

    void setUrlOpener(UrlOpener opener) { opener_ = std::move(opener); }
    // Where opening failures are shown; without one they go to a message box.
    void setDialogs(platform::Dialogs* dialogs) { dialogs_ = dialogs; }

    // Container life cycle: a newly placed control, loading and saving.
    void InitProperties();
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    QSize sizeHint() const override;

Q_SIGNALS:
    // Raised before an address is opened: set *cancel to stop it, or change *address
    // to open another one; URL itself stays as it is.
    void aboutToOpen(bool* cancel, QString* address);
    // Tells the container that the property of this name changed.
    void propertyChanged(const QString& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void open();
    std::optional<OpenError> openAddress(const QString& address);
    void reportFailure(const QString& address, OpenError error);
    void fitLabel();
    void updateToolTip();

    QLabel* lblURL;
    QString url_;
    bool showToolTip_ = false;
    UrlOpener opener_;
    platform::Dialogs* dialogs_ = nullptr;
};

} // namespace folimar::controls
