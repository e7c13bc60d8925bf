#pragma once

#include "recognition/PageText.h"

namespace folimar::recognition {

// Lays out recognised words as the page's text: words of a line and lines of a paragraph
// joined by a space, paragraphs parted by a blank line, and a word hyphenated at a line's
// end joined with its rest on the next line (the hyphen dropped). A line that starts with
// a list item's mark (a bullet, "1.", "b)") starts a line of the text too.
class PageTextBuilder {
public:
    void startParagraph();
    void startLine();
    void addWord(const QString& word, const QRect& box,
                 qint32 confidence = WordBox::UnknownConfidence);
    PageText take();

private:
    bool endsHyphenated() const;

    PageText page_;
    bool paragraphStart_ = true;
    bool lineStart_ = true;
};

} // namespace folimar::recognition
