#include "bookexport/EpubExport.h"

#include "bookexport/EpubDocuments.h"
#include "bookexport/JpegDensity.h"
#include "bookexport/Mp3Encoder.h"
#include "bookexport/ReplacingFile.h"
#include "bookexport/ZipWriter.h"
#include "platform/character/EspeakSynthesizer.h"
#include "speechexport/SpeechExport.h"

#include <QFileInfo>
#include <QUuid>
#include <vector>

namespace folimar::bookexport {

namespace {

// Encoding a page's sound into MP3 takes about three times as long as speaking it.
constexpr double EncodingWork = 3.0;
constexpr double PicturesShare = 0.05;

BookExportOutcome failed(QString message) {
    return {BookExportOutcome::Status::Failed, std::move(message)};
}

BookExportOutcome cancelledOutcome() {
    return {BookExportOutcome::Status::Cancelled, {}};
}

BookExportOutcome exportWholeEpub(const ExportedBook& book, const ReadAlongChoices& choices,
                                  const QString& outputPath, const BookExportProgress& progress,
                                  const std::atomic<bool>& cancelled) {
    if (book.topics.isEmpty())
        return failed(QStringLiteral("There are no topics to save."));
    QList<QList<speechexport::SentenceToSpeak>> topicSentences;
    double total = 0; // the work, counted in letters spoken
    for (const ExportedTopic& topic : book.topics) {
        topicSentences.append(
            speechexport::sentencesToSpeak(topic.text, choices.sentenceEnds, choices.capsAsSmall));
        for (const speechexport::SentenceToSpeak& sentence : topicSentences.last())
            total += double(sentence.spoken.size()) * (1 + EncodingWork);
    }
    total = std::max(total, 1.0);
    QString why;
    const std::shared_ptr<character::EspeakSynthesizer> synthesizer =
        character::EspeakSynthesizer::open(&why);
    if (!synthesizer)
        return failed(why);
    const character::VoiceSettings voice = speechexport::espeakSettingsOf(choices.voice);
    const int rate = synthesizer->sampleRate();

    ReplacingFile file(outputPath);
    if (!file.open())
        return failed(cannotSaveMessage(outputPath, file.errorString()));
    const auto cannotWrite = [&] {
        return failed(QStringLiteral("Cannot write \"%1\": %2")
                          .arg(QFileInfo(outputPath).fileName(), file.device().errorString()));
    };
    ZipWriter zip(file.device());
    // The first entry names the kind of file, stored, for programs that look at its bytes.
    if (!zip.add(QStringLiteral("mimetype"), "application/epub+zip") ||
        !zip.add(QStringLiteral("META-INF/container.xml"), epubContainer()))
        return cannotWrite();

    ReadAlongBook readAlong{QStringLiteral("urn:uuid:") +
                                QUuid::createUuid().toString(QUuid::WithoutBraces),
                            book.title,
                            book.author,
                            choices.language,
                            QDateTime::currentDateTimeUtc(),
                            {}};
    double done = 0;
    std::vector<std::int16_t> sound;
    for (qsizetype t = 0; t < book.topics.size(); ++t) {
        const ExportedTopic& topic = book.topics[t];
        ReadAlongPage page;
        page.name = QStringLiteral("topic%1").arg(t + 1, 3, 10, QLatin1Char('0'));
        page.heading = topic.name.simplified().isEmpty()
                           ? QStringLiteral("Topic %1").arg(topic.number)
                           : topic.name.simplified();
        page.picture = choices.pictures && isJpeg(topic.picture);
        page.pictureText = topic.text;
        sound.clear();
        QList<std::pair<std::size_t, std::size_t>> spans; // each sentence's samples
        for (const speechexport::SentenceToSpeak& sentence : topicSentences[t]) {
            if (!spans.isEmpty())
                sound.resize(sound.size() +
                             std::size_t(rate) * speechexport::SentencePauseMs / 1000);
            const std::size_t begin = sound.size();
            const bool said = synthesizer->synthesize(
                sentence.spoken, voice,
                [&](std::span<const std::int16_t> chunk, const std::vector<character::WordMark>&) {
                    sound.insert(sound.end(), chunk.begin(), chunk.end());
                    return !cancelled.load(std::memory_order_relaxed);
                });
            if (cancelled.load())
                return cancelledOutcome();
            if (!said)
                return failed(QStringLiteral("The voice could not speak this sentence:\n%1")
                                  .arg(sentence.shown.left(200)));
            spans.append({begin, sound.size()});
            page.sentences.append({sentence.shown, sentence.startsLine, 0, 0});
            done += double(sentence.spoken.size());
            progress(done / total, int(t));
        }
        if (!spans.isEmpty()) {
            // A pause before the next page, as between topics read aloud.
            if (t + 1 < book.topics.size())
                sound.resize(sound.size() + std::size_t(rate) * speechexport::TopicPauseMs / 1000);
            const std::optional<Mp3File> mp3 = encodeMp3(sound, rate);
            if (!mp3)
                return failed(QStringLiteral("The sound of topic %1 could not be made into MP3.")
                                  .arg(topic.number));
            const auto at = [&](std::size_t sample) {
                return double(sample + std::size_t(mp3->delaySamples)) / rate;
            };
            for (qsizetype s = 0; s < spans.size(); ++s) {
                page.sentences[s].begin = at(spans[s].first);
                page.sentences[s].end = at(spans[s].second);
            }
            page.seconds = at(sound.size());
            if (!zip.add(QStringLiteral("EPUB/audio/%1.mp3").arg(page.name), mp3->bytes) ||
                !zip.add(QStringLiteral("EPUB/%1.smil").arg(page.name), epubOverlay(page)))
                return cannotWrite();
            for (const speechexport::SentenceToSpeak& sentence : topicSentences[t])
                done += double(sentence.spoken.size()) * EncodingWork;
        }
        if (page.picture &&
            !zip.add(QStringLiteral("EPUB/images/%1.jpg").arg(page.name), topic.picture))
            return cannotWrite();
        if (!zip.add(QStringLiteral("EPUB/%1.xhtml").arg(page.name), epubPage(readAlong, page)))
            return cannotWrite();
        readAlong.pages.append(page);
        progress(done / total, int(t + 1));
        if (cancelled.load())
            return cancelledOutcome();
    }
    if (!zip.add(QStringLiteral("EPUB/nav.xhtml"), epubNavigation(readAlong)) ||
        !zip.add(QStringLiteral("EPUB/style.css"), epubStyle()) ||
        !zip.add(QStringLiteral("EPUB/package.opf"), epubPackage(readAlong)) || !zip.finish())
        return cannotWrite();
    if (cancelled.load())
        return cancelledOutcome();
    if (!file.commit())
        return failed(QStringLiteral("Cannot save \"%1\": %2")
                          .arg(QFileInfo(outputPath).fileName(), file.errorString()));
    progress(1.0, int(book.topics.size()));
    return {BookExportOutcome::Status::Saved, {}};
}

} // namespace

BookExportOutcome exportEpub(const ExportedBook& book, const ReadAlongChoices& choices,
                             const QString& outputPath, const BookExportProgress& progress,
                             const std::atomic<bool>& cancelled) {
    // Speaking is the work: the pictures, when they go in, take little of it.
    if (!choices.pictures)
        return exportWholeEpub(book, choices, outputPath, progress, cancelled);
    return withPicturesRead(book, PicturesShare, progress, cancelled,
                            [&](const ExportedBook& whole, const BookExportProgress& rest) {
                                return exportWholeEpub(whole, choices, outputPath, rest, cancelled);
                            });
}

} // namespace folimar::bookexport
