#pragma once

#include "bookexport/BookExport.h"
#include "speechexport/ExportJob.h"

namespace folimar::bookexport {

// One book export at a time on a thread of its own. Its progress and its outcome arrive
// as signals on the thread that owns the job.
class BookExportJob final : public speechexport::ExportJob {
    Q_OBJECT
public:
    explicit BookExportJob(QObject* parent = nullptr);

    // Starts `work`; false while an export is already under way.
    bool start(BookExportWork work);

Q_SIGNALS:
    void progressed(int permille, int topicsDone);
    void finished(const folimar::bookexport::BookExportOutcome& outcome);
};

} // namespace folimar::bookexport
