#pragma once

#include <QLabel>
#include <QList>
#include <QPointer>

namespace folimar::bookwindow {

// A first-start hint in the middle of the book window's empty page: how to paste a page
// picture, read it, store it, and where help is. It steps aside whenever one of the
// widgets it gives way to (the picture, a notice about the picture) is shown.
class PageHint final : public QLabel {
    Q_OBJECT
public:
    PageHint(QList<QWidget*> givesWayTo, QWidget* pageArea);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow();

    QList<QPointer<QWidget>> givesWayTo_;
};

} // namespace folimar::bookwindow
