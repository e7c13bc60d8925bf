// Saving a 3,000-word page as sound: Ogg Opus (encoding included) and WAV, beside the
// espeak-ng program writing the same text to a WAV file with the same voice in the same run
// (`espeak-ng -w`, the baseline), and how many times faster than real time the Opus export is.
#include "BenchFigures.h"
#include "platform/character/EspeakSynthesizer.h"
#include "speechexport/SpeechExport.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>

using namespace folimar;

namespace {

constexpr int Words = 3000;

// Plain prose of `Words` words in sentences of twelve, the same every run.
QString page() {
    const QStringList vocabulary =
        QStringLiteral(
            "the river rose slowly through the night and by morning water reached old mill where "
            "people of village gathered to watch as carts carried grain towards higher ground "
            "while "
            "children ran along fields under grey sky that promised more rain before evening came")
            .split(QLatin1Char(' '));
    QString text;
    for (int word = 0; word < Words; ++word) {
        QString next = vocabulary[(word * 7 + word / 13) % vocabulary.size()];
        if (word % 12 == 0)
            next[0] = next[0].toUpper();
        text += next;
        text += (word % 12 == 11) ? QStringLiteral(". ") : QStringLiteral(" ");
    }
    return text.trimmed() + QLatin1Char('.');
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QString why;
    const auto synthesizer = character::EspeakSynthesizer::open(&why);
    if (!synthesizer) {
        std::fprintf(stderr, "bench_speechexport: %s\n", qPrintable(why));
        return 1;
    }
    QTemporaryDir dir;
    const QString text = page();
    const auto exportAs = [&](const QString& name, speechexport::ExportOutcome* outcome) {
        speechexport::ExportRequest request;
        request.outputPath = dir.filePath(name);
        request.title = QStringLiteral("Bench");
        request.chapters = {{QStringLiteral("Page"), text}};
        const std::atomic<bool> cancelled{false};
        return bench::elapsedMs([&] {
            *outcome = speechexport::exportSpeech(
                *synthesizer, request, [](double) {}, cancelled);
        });
    };
    speechexport::ExportOutcome opus;
    speechexport::ExportOutcome wav;
    const double opusMs = exportAs(QStringLiteral("page.opus"), &opus);
    const double wavMs = exportAs(QStringLiteral("page.wav"), &wav);
    if (opus.status != speechexport::ExportOutcome::Status::Saved ||
        wav.status != speechexport::ExportOutcome::Status::Saved) {
        std::fprintf(stderr, "bench_speechexport: %s%s\n", qPrintable(opus.message),
                     qPrintable(wav.message));
        return 1;
    }
    bench::report("speechexport.opus_3000_words", opusMs);
    bench::report("speechexport.wav_3000_words", wavMs);

    // The espeak-ng program with the voice's defaults as the export sets them: voice "en",
    // 175 words a minute, pitch 50, amplitude 100.
    const QString espeak = QStandardPaths::findExecutable(QStringLiteral("espeak-ng"));
    if (espeak.isEmpty()) {
        std::fprintf(stderr, "bench_speechexport: no espeak-ng program for the baseline\n");
    } else {
        QFile file(dir.filePath(QStringLiteral("page.txt")));
        if (file.open(QIODevice::WriteOnly))
            file.write(text.toUtf8());
        file.close();
        QProcess program;
        const double espeakMs = bench::elapsedMs([&] {
            program.start(espeak,
                          {"-v", "en", "-s", "175", "-p", "50", "-a", "100", "-w",
                           dir.filePath(QStringLiteral("espeak.wav")), "-f", file.fileName()});
            program.waitForFinished(-1);
        });
        bench::report("speechexport.opus_3000_words", espeakMs, /*baseline=*/true);
        bench::report("speechexport.wav_3000_words", espeakMs, /*baseline=*/true);
    }
    const double audioSeconds = double(opus.samples) / opus.sampleRate;
    std::printf("bench speechexport.opus_realtime_factor %.1f x\n",
                audioSeconds / (opusMs / 1000.0));
    std::printf("bench speechexport.opus_share_of_realtime %.2f %%\n",
                100.0 * (opusMs / 1000.0) / audioSeconds);
    return 0;
}
