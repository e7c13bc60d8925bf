#pragma once

#include <QPainterPath>
#include <QStringList>
#include <QTimer>
#include <QWidget>

namespace folimar::character {

// The small window beside the character that shows the words being spoken. It follows the
// balloon style bits: off, sized to the text or of a fixed size, words shown at the pace of
// the speech or all at once, hidden by itself after the speech or left until the next.
class SpeechBalloon final : public QWidget {
    Q_OBJECT
public:
    static constexpr int MaxTextWidth = 260;
    static constexpr int FixedTextWidth = 220;
    static constexpr int FixedTextLines = 3;
    static constexpr int AutoHideDelayMs = 1200;

    explicit SpeechBalloon(QWidget* parent = nullptr);

    void setStyle(int style) { style_ = style; }
    // Starts showing `text` beside `character` (its screen rectangle).
    void say(const QString& text, int msPerWord, const QRect& character);
    // The speech ended: every word shows; the balloon hides soon when auto-hide is on.
    void finish();
    void placeBeside(const QRect& character);
    // The words shown so far.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QPainterPath outline() const;
    QSize textSize(const QString& text) const;
    void revealNextWord();

    int style_ = 0;
    QStringList words_;
    int shown_ = 0;
    QTimer pace_;
    QTimer hideLater_;
};

} // namespace folimar::character
