#include "import/TextLayer.h"

#include "recognition/PageTextBuilder.h"

#include <poppler-qt6.h>

namespace folimar::import {

recognition::PageText textLayerText(const std::vector<std::unique_ptr<Poppler::TextBox>>& words,
                                    double dpi) {
    const double scale = dpi / 72.0;
    recognition::PageTextBuilder builder;
    const Poppler::TextBox* previous = nullptr;
    QRectF line;
    for (const std::unique_ptr<Poppler::TextBox>& word : words) {
        const QRectF box = word->boundingBox();
        if (previous && previous->nextWord() != word.get()) {
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
        builder.addWord(word->text(), pixels.toAlignedRect());
        previous = word.get();
    }
    return builder.take();
}

} // namespace folimar::import
