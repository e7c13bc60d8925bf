#include "reader/ReaderTextEdit.h"

#include "reader/SafePaste.h"

#include <QMimeData>

namespace folimar::reader {

bool ReaderTextEdit::canInsertFromMimeData(const QMimeData* source) const {
    return source && (source->hasText() || source->hasHtml());
}

void ReaderTextEdit::insertFromMimeData(const QMimeData* source) {
    QTextCursor cursor = textCursor();
    if (insertPaste(source, cursor) == PasteOutcome::TooLong) {
        Q_EMIT pasteRefused();
        return;
    }
    setTextCursor(cursor);
    ensureCursorVisible();
}

} // namespace folimar::reader
