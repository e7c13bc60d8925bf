#pragma once

#include "speechexport/SpeechExport.h"

#include <QString>
#include <atomic>
#include <functional>

namespace folimar::bookexport {

using BookExportOutcome = speechexport::JobOutcome;

// How far an export has come: the share of its work done (0..1) and the topics finished.
using BookExportProgress = std::function<void(double share, int topicsDone)>;

// An export as a piece of work that a thread runs: it reports as it goes and stops soon
// after `cancelled` is set.
using BookExportWork = std::function<BookExportOutcome(const BookExportProgress& progress,
                                                       const std::atomic<bool>& cancelled)>;

// What a failure to open the file to write says: "Cannot save "x.pdf" in the folder /a: ...".
QString cannotSaveMessage(const QString& path, const QString& why);

} // namespace folimar::bookexport
