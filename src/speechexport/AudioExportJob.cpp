#include "speechexport/AudioExportJob.h"

#include "platform/character/EspeakSynthesizer.h"

namespace folimar::speechexport {

AudioExportJob::AudioExportJob(QObject* parent) : ExportJob(parent) {}

bool AudioExportJob::start(ExportRequest request) {
    return launch([this, request = std::move(request)](const std::atomic<bool>& cancelled) {
        ExportOutcome outcome;
        if (const auto synthesizer = character::EspeakSynthesizer::open(&outcome.message))
            outcome = exportSpeech(
                *synthesizer, request,
                [this](double share) {
                    report(share, 0, [this](int permille) { Q_EMIT progressed(permille); });
                },
                cancelled);
        return [this, outcome] { Q_EMIT finished(outcome); };
    });
}

} // namespace folimar::speechexport
