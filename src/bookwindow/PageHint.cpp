#include "bookwindow/PageHint.h"

#include <QEvent>
#include <algorithm>

namespace folimar::bookwindow {

PageHint::PageHint(QList<QWidget*> givesWayTo, QWidget* pageArea) : QLabel(pageArea) {
    setObjectName(QStringLiteral("PageHint"));
    setText(QStringLiteral(
        "No page picture yet.\n\nCopy the scan or photo of a page, then press Ctrl+V here: "
        "its text is read into the reader window.\nF1 reads the page aloud, F9 stores it as "
        "a topic of the book.\n\nHelp, Topics in the reader window tells the rest."));
    setAlignment(Qt::AlignCenter);
    setWordWrap(true);
    setForegroundRole(QPalette::PlaceholderText);
    setAttribute(Qt::WA_TransparentForMouseEvents); // clicks reach the page as before
    pageArea->installEventFilter(this);
    for (QWidget* widget : givesWayTo) {
        givesWayTo_.append(widget);
        widget->installEventFilter(this);
    }
    lower();
    follow();
}

bool PageHint::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::Resize:
        if (watched->isWidgetType())
            follow();
        break;
    default:
        break;
    }
    return QLabel::eventFilter(watched, event);
}

// Fills the page with a margin, hidden while anything it gives way to is shown.
void PageHint::follow() {
    const QRect page = parentWidget()->rect();
    const int margin = std::min(page.width(), page.height()) / 10;
    setGeometry(page.adjusted(margin, margin, -margin, -margin));
    bool covered = false;
    for (const QPointer<QWidget>& widget : givesWayTo_)
        covered = covered || (widget && !widget->isHidden());
    setVisible(!covered);
}

} // namespace folimar::bookwindow
