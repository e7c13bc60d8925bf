#pragma once

#include "speechexport/ExportJob.h"
#include "speechexport/SpeechExport.h"

namespace folimar::speechexport {

// One export at a time, spoken on a thread of its own. Its progress and its outcome arrive
// as signals on the thread that owns the job.
class AudioExportJob final : public ExportJob {
    Q_OBJECT
public:
    explicit AudioExportJob(QObject* parent = nullptr);

    // Starts `request`; false while an export is already under way.
    bool start(ExportRequest request);

Q_SIGNALS:
    void progressed(int permille);
    void finished(const folimar::speechexport::ExportOutcome& outcome);
};

} // namespace folimar::speechexport
