#pragma once

#include <QtGlobal>
#include <memory>

class QMimeData;
class QString;
class QTextCursor;
class QTextDocument;
class QTextEdit;

namespace folimar::reader {

// The longest text a paste takes (about a thousand pages); a longer one is refused with a
// word rather than freezing the window while it is laid out.
inline constexpr qsizetype MaxPasteCharacters = 2'000'000;
// The largest HTML a rich paste parses; past it the clipboard's plain text is taken.
inline constexpr qsizetype MaxPasteHtmlCharacters = 8'000'000;
// The largest picture (as encoded in its data: address) a rich paste keeps.
inline constexpr qsizetype MaxPastedPictureBytes = 4 << 20;

enum class PasteOutcome { Pasted, Nothing, TooLong };

// The clipboard's text put in at `cursor`, replacing its selection. Rich text is rebuilt
// from what matters for reading (paragraphs, lists, bold, italic, underline, and PNG or GIF
// pictures carried in the HTML itself as data: addresses); nothing the HTML names is ever
// loaded: no file, no network address, no style sheet.
PasteOutcome insertPaste(const QMimeData* data, QTextCursor& cursor);
// The same, as the whole text of `edit`, with the caret at its top.
PasteOutcome replaceWithPaste(const QMimeData* data, QTextEdit& edit);

// The document a rich paste of `html` puts in; its pictures are resources of the document
// under names that load nothing.
std::unique_ptr<QTextDocument> safeDocumentFromHtml(const QString& html);

// The words shown when a paste is refused for its length.
QString pasteTooLongMessage();

} // namespace folimar::reader
