#pragma once

#include "topics/PageView.h"

#include <QFile>
#include <QStringList>

namespace folimar::testing {

// The book window as the topic manager sees it: records what it was asked, and keeps the
// bytes of each picture file at the moment it was shown.
class StandInPageView final : public topics::PageView {
public:
    void ClearPagePicture() override {
        ++clears;
        shown = false;
    }
    void showPagePicture(const QString& jpegPath) override {
        QFile file(jpegPath);
        shownBytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        shownPaths.append(jpegPath);
        shown = true;
    }
    bool PictureShown() const override { return shown; }
    void setPageCaption(const QString& text) override { caption = text; }
    void setTopicNavigationEnabled(bool enabled) override { navigationEnabled = enabled; }

    int clears = 0;
    bool shown = false;
    QStringList shownPaths;
    QByteArray shownBytes;
    QString caption;
    bool navigationEnabled = true;
};

} // namespace folimar::testing
