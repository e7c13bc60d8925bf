#pragma once

#include <QByteArray>
#include <QString>

namespace folimar::topics {

// What the topic manager needs of the book window to show a page: its picture, its
// caption and its topic navigation (locked during long operations).
class PageView {
public:
    virtual ~PageView();

    // Empties and hides the picture, hides the scroll bars, forgets the picture's size and
    // deletes the working files "temp.bmp" and "temp.jpg".
    virtual void ClearPagePicture() = 0;
    // Loads the picture file (the topic's stored JPEG, written to "temp.jpg") and fits it
    // to the window, drawing it without holding up the window. A picture that cannot be
    // shown (not readable, too large, too slow to decode) leaves an empty page saying why,
    // and "temp.jpg" as it was.
    virtual void showPagePicture(const QString& jpegPath) = 0;
    // The same, given the bytes just written to `jpegPath`, so a page turn need not read
    // the file back.
    virtual void showPagePictureBytes(const QString& jpegPath, const QByteArray& jpeg) {
        Q_UNUSED(jpeg);
        showPagePicture(jpegPath);
    }
    virtual bool PictureShown() const = 0;
    // The book window's caption ("12 : Harbour", or empty for a blank page).
    virtual void setPageCaption(const QString& caption) = 0;
    // Enables or disables the book window's previous/next topic commands.
    virtual void setTopicNavigationEnabled(bool enabled) = 0;
};

} // namespace folimar::topics
