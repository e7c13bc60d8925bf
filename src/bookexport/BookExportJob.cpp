#include "bookexport/BookExportJob.h"

namespace folimar::bookexport {

BookExportJob::BookExportJob(QObject* parent) : ExportJob(parent) {}

bool BookExportJob::start(BookExportWork work) {
    return launch([this, work = std::move(work)](const std::atomic<bool>& cancelled) {
        const BookExportOutcome outcome = work(
            [this](double share, int topicsDone) {
                report(share, topicsDone, [this, topicsDone](int permille) {
                    Q_EMIT progressed(permille, topicsDone);
                });
            },
            cancelled);
        return [this, outcome] { Q_EMIT finished(outcome); };
    });
}

} // namespace folimar::bookexport
