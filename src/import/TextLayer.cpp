#include "import/TextLayer.h"

#include "recognition/PageTextBuilder.h"

namespace folimar::import {

namespace {

// Beyond the largest page by far: a word a damaged page places further out is cut to it, so
// its box stays within what a picture's pixels can number.
const QRectF Reach(-1e6, -1e6, 2e6, 2e6);

} // namespace

recognition::PageText textLayerText(const std::vector<pdfpages::PdfWord>& words, double dpi) {
    const double scale = dpi / 72.0;
    recognition::PageTextBuilder builder;
    bool first = true;
    QRectF line;
    for (const pdfpages::PdfWord& word : words) {
        const QRectF box = word.box.intersected(Reach);
        if (!first && !word.followsOnLine) {
            const double gap = box.top() - line.bottom();
            if (gap > line.height() || gap < -2 * line.height())
                builder.startParagraph();
            else
                builder.startLine();
            line = box;
        } else {
            line = line.isNull() ? box : line.united(box);
        }
        const QRectF pixels(box.x() * scale, box.y() * scale, box.width() * scale,
                            box.height() * scale);
        builder.addWord(word.text, pixels.toAlignedRect());
        first = false;
    }
    return builder.take();
}

} // namespace folimar::import
