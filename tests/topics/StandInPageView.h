#pragma once

#include "topics/PageView.h"

#include <QFile>
#include <QStringList>

namespace folimar::testing {

// The book window as the topic manager sees it: records what it was asked, and keeps the
// bytes of each picture at the moment it was shown.
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
    // Keeps the bytes handed over only when "temp.jpg" already holds the same ones, as
    // other commands read the page's picture from there.
    void showPagePictureBytes(const QString& jpegPath, const QByteArray& jpeg) override {
        showPagePicture(jpegPath);
        if (shownBytes != jpeg)
            shownBytes.clear();
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
