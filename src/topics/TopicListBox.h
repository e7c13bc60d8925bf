#pragma once

#include <QListWidget>

namespace folimar::topics {

// The topic list `DispLstBx`: several entries may be selected; each entry holds its
// topic's number as item data (Qt::UserRole). It reports the user's ways of picking an
// entry (a click, Enter, moving with the keys) and a right click; Ctrl+A does nothing.
class TopicListBox final : public QListWidget {
    Q_OBJECT
public:
    explicit TopicListBox(QWidget* parent = nullptr);

    int topicNoAt(int row) const;

Q_SIGNALS:
    void entryPicked();
    void popupRequested(const QPoint& globalPos);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace folimar::topics
