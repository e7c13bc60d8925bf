#pragma once

#include <QWidget>

namespace folimar::controls {

// The product's logo, painted: a rounded tile with a "T" over a link underline.
class TessaroLogo : public QWidget {
    Q_OBJECT

public:
    explicit TessaroLogo(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {64, 64}; }

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace folimar::controls
