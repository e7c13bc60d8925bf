// Rich-text pastes: any bytes as the clipboard's HTML; the safe document must hold no picture
// but those it made itself, and the HTML must load nothing.
#include "FuzzApplication.h"
#include "reader/SafePaste.h"

#include <QTextBlock>
#include <QTextDocument>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    folimar::fuzz::startGuiApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto document = folimar::reader::safeDocumentFromHtml(
        QString::fromUtf8(folimar::fuzz::bytesOf(data, size)));
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat() &&
                !format.toImageFormat().name().startsWith(QLatin1String("pasted-picture:")))
                __builtin_trap();
        }
    }
    return 0;
}
