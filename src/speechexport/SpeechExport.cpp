#include "speechexport/SpeechExport.h"

#include "platform/character/EspeakSynthesizer.h"
#include "sentences/SentenceBounds.h"
#include "speechexport/OpusWriter.h"
#include "speechexport/WavWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <memory>

namespace folimar::speechexport {

namespace {

constexpr char EspeakEngine[] = "espeak-ng";

// Each chapter's sentences, in the form they are spoken.
QList<QStringList> spokenSentences(const ExportRequest& request) {
    QList<QStringList> chapters;
    for (const SpokenChapter& chapter : request.chapters) {
        QStringList spoken;
        for (const SentenceToSpeak& sentence :
             sentencesToSpeak(chapter.text, request.sentenceEnds, request.capsAsSmall))
            spoken << sentence.spoken;
        chapters << spoken;
    }
    return chapters;
}

ExportOutcome failed(QString message) {
    return {{ExportOutcome::Status::Failed, std::move(message)}, 0, 0};
}

std::unique_ptr<AudioWriter> writerFor(AudioFormat format, QIODevice& device, int sampleRate,
                                       const QString& title, const QStringList& chapterTitles) {
    if (format == AudioFormat::Wav)
        return std::make_unique<WavWriter>(device, sampleRate);
    return std::make_unique<OpusWriter>(device, sampleRate, title, chapterTitles);
}

} // namespace

QList<SentenceToSpeak> sentencesToSpeak(const QString& text, sentences::SentenceEnds rule,
                                        bool capsAsSmall) {
    QList<SentenceToSpeak> said;
    for (const QString& sentence : sentences::sentencesOf(text, rule)) {
        const QString shown = sentence.trimmed();
        if (!shown.isEmpty())
            said.append({shown, sentences::spokenForm(sentence, capsAsSmall),
                          sentence.left(sentence.indexOf(shown)).contains(QLatin1Char('\n'))});
    }
    return said;
}

std::optional<AudioFormat> audioFormatOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("wav"))
        return AudioFormat::Wav;
    if (suffix == QLatin1String("opus") || suffix == QLatin1String("ogg"))
        return AudioFormat::OggOpus;
    return std::nullopt;
}

character::VoiceSettings espeakSettingsOf(const character::VoiceSettings& chosen) {
    character::VoiceSettings settings = chosen;
    if (!settings.engine.isEmpty() && settings.engine != QLatin1String(EspeakEngine))
        settings.voice.clear();
    settings.engine = QLatin1String(EspeakEngine);
    return settings;
}

ExportOutcome exportSpeech(character::EspeakSynthesizer& synthesizer, const ExportRequest& request,
                           const ExportProgress& progress, const std::atomic<bool>& cancelled) {
    const std::optional<AudioFormat> format = audioFormatOf(request.outputPath);
    if (!format)
        return failed(QStringLiteral("\"%1\" is not a sound file name: end it in .opus or .wav.")
                          .arg(QFileInfo(request.outputPath).fileName()));
    const QList<QStringList> chapters = spokenSentences(request);
    qsizetype total = 0;
    for (const QStringList& sentences : chapters)
        total += sentences.size();
    if (total == 0)
        return failed(QStringLiteral("There is no text to save as sound."));

    QSaveFile file(request.outputPath);
    if (!file.open(QIODevice::WriteOnly))
        return failed(
            QStringLiteral("Cannot save \"%1\" in the folder %2: %3")
                .arg(QFileInfo(request.outputPath).fileName(),
                     QDir::toNativeSeparators(QFileInfo(request.outputPath).absolutePath()),
                     file.errorString()));
    const int sampleRate = synthesizer.sampleRate();
    // Chapters without a sentence make no sound, and get no mark.
    QStringList markedTitles;
    for (qsizetype c = 0; c < chapters.size(); ++c) {
        if (!chapters[c].isEmpty())
            markedTitles.append(request.chapters[c].title);
    }
    const std::unique_ptr<AudioWriter> writer =
        writerFor(*format, file, sampleRate, request.title, markedTitles);
    const character::VoiceSettings voice = espeakSettingsOf(request.voice);

    QList<ChapterMark> marks;
    std::int64_t samples = 0;
    bool writeFailed = false;
    const character::EspeakSynthesizer::ChunkSink sink =
        [&](std::span<const std::int16_t> chunk, const std::vector<character::WordMark>&) {
            if (cancelled.load(std::memory_order_relaxed))
                return false;
            if (!writer->write(chunk)) {
                writeFailed = true;
                return false;
            }
            samples += std::int64_t(chunk.size());
            return true;
        };
    const auto pause = [&](int ms) {
        const std::vector<std::int16_t> quiet(std::size_t(std::int64_t(sampleRate) * ms / 1000));
        if (!writer->write(quiet))
            return false;
        samples += std::int64_t(quiet.size());
        return true;
    };
    const auto cannotWrite = [&] {
        return failed(QStringLiteral("Cannot write \"%1\": %2")
                          .arg(QFileInfo(request.outputPath).fileName(), writer->errorString()));
    };
    qsizetype spoken = 0;
    for (qsizetype c = 0; c < chapters.size(); ++c) {
        if (chapters[c].isEmpty())
            continue; // nothing to mark: no sound of its own
        if (spoken > 0 && !pause(TopicPauseMs))
            return cannotWrite();
        marks.append({samples, request.chapters[c].title});
        for (qsizetype s = 0; s < chapters[c].size(); ++s) {
            if (s > 0 && !pause(SentencePauseMs))
                return cannotWrite();
            const QString& sentence = chapters[c][s];
            const bool said = synthesizer.synthesize(sentence, voice, sink);
            if (cancelled.load())
                return {{ExportOutcome::Status::Cancelled, {}}, 0, sampleRate};
            if (writeFailed)
                return cannotWrite();
            if (!said)
                return failed(QStringLiteral("The voice could not speak this sentence:\n%1")
                                  .arg(sentence.trimmed().left(200)));
            progress(double(++spoken) / double(total));
        }
    }
    if (!writer->finish(marks))
        return cannotWrite();
    if (cancelled.load())
        return {{ExportOutcome::Status::Cancelled, {}}, 0, sampleRate};
    if (!file.commit())
        return failed(QStringLiteral("Cannot save \"%1\": %2")
                          .arg(QFileInfo(request.outputPath).fileName(), file.errorString()));
    return {{ExportOutcome::Status::Saved, {}}, samples, sampleRate};
}

} // namespace folimar::speechexport
