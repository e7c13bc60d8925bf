#include "platform/character/EspeakSynthesizer.h"
#include "sentences/SentenceBounds.h"
#include "speechexport/AudioExportJob.h"
#include "speechexport/ChapterComments.h"
#include "speechexport/OpusWriter.h"
#include "speechexport/SpeechExport.h"
#include "support/SkipOutsideCi.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <cmath>
#include <opusfile.h>

using namespace folimar;
using namespace folimar::speechexport;

namespace {

const QString FirstPage = QStringLiteral("The river rose in the night. By morning it had reached "
                                         "the old mill, which stood 3.5 metres above it.");
const QString SecondPage = QStringLiteral("Nobody was hurt. The miller said so twice");

ExportRequest twoPages(const QString& path) {
    ExportRequest request;
    request.outputPath = path;
    request.title = QStringLiteral("Flood Book");
    request.chapters = {{QStringLiteral("The river"), FirstPage},
                        {QStringLiteral("Ça va, the miller"), SecondPage}};
    request.voice.rate = 1.0; // quick to make
    return request;
}

struct OpusReadBack {
    double seconds = 0;
    int inputRate = 0;
    QMap<QString, QString> tags;
};

std::optional<OpusReadBack> readOpus(const QString& path) {
    int error = 0;
    OggOpusFile* file = op_open_file(QFile::encodeName(path).constData(), &error);
    if (!file)
        return std::nullopt;
    OpusReadBack back;
    back.seconds = double(op_pcm_total(file, -1)) / 48000.0;
    back.inputRate = int(op_head(file, -1)->input_sample_rate);
    const OpusTags* tags = op_tags(file, -1);
    for (int i = 0; i < tags->comments; ++i) {
        const QString comment = QString::fromUtf8(tags->user_comments[i], tags->comment_lengths[i]);
        back.tags.insert(comment.section(QLatin1Char('='), 0, 0),
                         comment.section(QLatin1Char('='), 1));
    }
    op_free(file);
    return back;
}

struct WavReadBack {
    int rate = 0;
    int channels = 0;
    int bits = 0;
    double seconds = 0;
};

std::optional<WavReadBack> readWav(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (bytes.size() < 44 || !bytes.startsWith("RIFF") || bytes.mid(8, 8) != "WAVEfmt " ||
        bytes.mid(36, 4) != "data")
        return std::nullopt;
    const auto u32 = [&bytes](int at) {
        return qFromLittleEndian<quint32>(bytes.constData() + at);
    };
    const auto u16 = [&bytes](int at) {
        return qFromLittleEndian<quint16>(bytes.constData() + at);
    };
    // Both sizes in the header must agree with what the file holds.
    if (u32(4) != quint32(bytes.size() - 8) || u32(40) != quint32(bytes.size() - 44))
        return std::nullopt;
    WavReadBack back;
    back.channels = u16(22);
    back.rate = int(u32(24));
    back.bits = u16(34);
    back.seconds = double(u32(40)) / (back.rate * 2.0);
    return back;
}

// The lengths in ms of the quiet runs of 60 ms or more between the sounds of a WAV file.
QList<int> quietRuns(const QString& path, int rate) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(44))
        return {};
    const QByteArray bytes = file.readAll();
    QList<int> runs;
    qsizetype quiet = 0;
    bool sounded = false;
    for (qsizetype at = 0; at + 1 < bytes.size(); at += 2) {
        if (std::abs(qFromLittleEndian<qint16>(bytes.constData() + at)) <= 64) {
            ++quiet;
            continue;
        }
        if (sounded && quiet * 1000 >= 60 * rate)
            runs << int(quiet * 1000 / rate);
        sounded = true;
        quiet = 0;
    }
    return runs;
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot | QDir::Hidden);
}

} // namespace

class TestSpeechExport : public QObject {
    Q_OBJECT

    std::shared_ptr<character::EspeakSynthesizer> synthesizer_;
    QTemporaryDir ownTemp_;

    // The voice's own reading of the same text, in one piece.
    double ownSynthesisSeconds(const ExportRequest& request) {
        QStringList texts;
        for (const SpokenChapter& chapter : request.chapters)
            texts << chapter.text;
        const character::SpokenAudio audio =
            synthesizer_->synthesizeToBuffer(texts.join(QLatin1Char(' ')), request.voice);
        return double(audio.samples.size()) / audio.sampleRate;
    }

private Q_SLOTS:
    void initTestCase() {
        // A temporary folder of this test's own, so that what others leave in the system's
        // comes and goes unseen.
        QVERIFY(ownTemp_.isValid());
        qputenv("TMPDIR", QFile::encodeName(ownTemp_.path()));
        QString why;
        synthesizer_ = character::EspeakSynthesizer::open(&why);
        if (!synthesizer_)
            FOLIMAR_SKIP_OUTSIDE_CI(qPrintable("espeak-ng is not on this machine: " + why));
    }

    void sentencesAreSplitAsReadingAloudSplitsThem_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("sentences");
        QTest::newRow("two, the second keeps its space")
            << QStringLiteral("ab. cd. ef") << QStringList{"ab.", " cd.", " ef"};
        QTest::newRow("a decimal point ends nothing")
            << QStringLiteral("It is 3.5 m. Yes.") << QStringList{"It is 3.5 m.", " Yes."};
        QTest::newRow("no period") << QStringLiteral("just words") << QStringList{"just words"};
        QTest::newRow("ends on a period")
            << QStringLiteral("One.\nTwo.") << QStringList{"One.", "\nTwo."};
        QTest::newRow("empty") << QString() << QStringList{};
    }
    void sentencesAreSplitAsReadingAloudSplitsThem() {
        QFETCH(QString, text);
        QFETCH(QStringList, sentences);
        QCOMPARE(sentences::sentencesOf(text, sentences::SentenceEnds::FullStops), sentences);
        QCOMPARE(sentences::spokenForm(QStringLiteral("NASA Said"), true),
                 QStringLiteral("nasa said"));
        QCOMPARE(sentences::spokenForm(QStringLiteral("NASA Said"), false),
                 QStringLiteral("NASA Said"));
    }

    void chapterCommentsCarryClockTimesAndTitles() {
        QCOMPARE(clockTime(0, 22050), QByteArray("00:00:00.000"));
        QCOMPARE(clockTime(22050 * 3723 + 11025, 22050), QByteArray("01:02:03.500"));
        const QList<ChapterMark> marks{{0, QStringLiteral("Één")}, {44100, QStringLiteral("Two")}};
        const auto comments = chapterComments(QStringLiteral("Book"), marks, 22050);
        const QList<QPair<QByteArray, QByteArray>> expected{
            {"TITLE", "Book"},
            {"CHAPTER001", "00:00:00.000"},
            {"CHAPTER001NAME", QStringLiteral("Één").toUtf8()},
            {"CHAPTER002", "00:00:02.000"},
            {"CHAPTER002NAME", "Two"}};
        QCOMPARE(comments, expected);
    }

    void opusIsEncodedAsTheSoundComesAndMarkedAtTheEnd() {
        QByteArray file;
        QBuffer device(&file);
        QVERIFY(device.open(QIODevice::WriteOnly));
        const int rate = 22050;
        const QStringList tempBefore = filesIn(QDir::tempPath());
        OpusWriter writer(device, rate, QStringLiteral("Long"),
                          {QStringLiteral("One"), QStringLiteral("Two"), QStringLiteral("Far")});
        std::vector<std::int16_t> second(rate);
        for (int i = 0; i < rate; ++i)
            second[std::size_t(i)] = std::int16_t(8000 * std::sin(i * 440.0 * 6.2832 / rate));
        // Ten minutes of sound reach the file as they come, in a bounded size, and nothing
        // waits on the side.
        qint64 lastSize = 0;
        for (int minute = 1; minute <= 10; ++minute) {
            for (int s = 0; s < 60; ++s)
                QVERIFY(writer.write(second));
            QVERIFY2(file.size() > lastSize, qPrintable(QString::number(minute)));
            lastSize = file.size();
        }
        QVERIFY(file.size() < 600 * 32000 / 8 * 3 / 2);
        QCOMPARE(filesIn(QDir::tempPath()), tempBefore);
        // The chapters' times are put in at the end, one past a hundred hours too.
        const std::int64_t hundredHours = std::int64_t(rate) * 3600 * 100;
        QVERIFY(writer.finish({{0, QStringLiteral("One")},
                               {std::int64_t(rate) * 300, QStringLiteral("Two")},
                               {hundredHours, QStringLiteral("Far")}}));
        int error = 0;
        OggOpusFile* opus = op_open_memory(reinterpret_cast<const unsigned char*>(file.constData()),
                                           std::size_t(file.size()), &error);
        QVERIFY(opus);
        const double seconds = double(op_pcm_total(opus, -1)) / 48000.0;
        QStringList comments;
        const OpusTags* tags = op_tags(opus, -1);
        for (int i = 0; i < tags->comments; ++i)
            comments << QString::fromUtf8(tags->user_comments[i], tags->comment_lengths[i]);
        op_free(opus);
        QVERIFY2(std::abs(seconds - 600) < 1, qPrintable(QString::number(seconds)));
        for (const char* expected :
             {"TITLE=Long", "CHAPTER001=00:00:00.000", "CHAPTER001NAME=One",
              "CHAPTER002=00:05:00.000", "CHAPTER003=100:00:00.000", "CHAPTER003NAME=Far"})
            QVERIFY2(comments.contains(QLatin1String(expected)), expected);
    }

    void savesPagesAsSoundThatPlaysAsLongAsTheVoice_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("WAV") << QStringLiteral("flood.wav");
        QTest::newRow("Ogg Opus") << QStringLiteral("flood.opus");
    }
    void savesPagesAsSoundThatPlaysAsLongAsTheVoice() {
        QFETCH(QString, name);
        QTemporaryDir dir;
        const ExportRequest request = twoPages(dir.filePath(name));
        double lastShare = -1;
        bool forward = true;
        const std::atomic<bool> cancelled{false};
        const ExportOutcome outcome = exportSpeech(
            *synthesizer_, request,
            [&](double share) {
                forward = forward && share >= lastShare;
                lastShare = share;
            },
            cancelled);
        QVERIFY2(outcome.status == ExportOutcome::Status::Saved, qPrintable(outcome.message));
        QVERIFY(forward);
        QCOMPARE(lastShare, 1.0);
        QCOMPARE(outcome.sampleRate, synthesizer_->sampleRate());
        QCOMPARE(filesIn(dir.path()), QStringList{name});

        // The voice, and the pauses after the first sentence of each page and between them.
        const double own =
            ownSynthesisSeconds(request) + (2 * SentencePauseMs + TopicPauseMs) / 1000.0;
        double seconds = 0;
        if (name.endsWith(QLatin1String(".wav"))) {
            const auto wav = readWav(request.outputPath);
            QVERIFY(wav);
            QCOMPARE(wav->rate, synthesizer_->sampleRate());
            QCOMPARE(wav->channels, 1);
            QCOMPARE(wav->bits, 16);
            seconds = wav->seconds;
        } else {
            const auto opus = readOpus(request.outputPath);
            QVERIFY(opus);
            QCOMPARE(opus->inputRate, synthesizer_->sampleRate());
            QCOMPARE(opus->tags.value("TITLE"), QStringLiteral("Flood Book"));
            QCOMPARE(opus->tags.value("CHAPTER001"), QStringLiteral("00:00:00.000"));
            QCOMPARE(opus->tags.value("CHAPTER001NAME"), QStringLiteral("The river"));
            QCOMPARE(opus->tags.value("CHAPTER002NAME"), QStringLiteral("Ça va, the miller"));
            // The second page starts after the first page's sound, inside the file.
            const QTime second = QTime::fromString(opus->tags.value("CHAPTER002"), "HH:mm:ss.zzz");
            QVERIFY(second.isValid());
            const double secondAt = second.msecsSinceStartOfDay() / 1000.0;
            QVERIFY2(secondAt > 0.4 * own && secondAt < opus->seconds,
                     qPrintable(QString::number(secondAt)));
            seconds = opus->seconds;
        }
        QVERIFY2(std::abs(seconds - own) <= 0.1 * own,
                 qPrintable(QStringLiteral("saved %1 s, voice %2 s").arg(seconds).arg(own)));
        QVERIFY(std::abs(double(outcome.samples) / outcome.sampleRate - own) <= 0.1 * own);
    }

    // Sentences stand apart as when read aloud, topics about a second apart.
    void pausesPartSentencesAndTopics() {
        QTemporaryDir dir;
        const ExportRequest request = twoPages(dir.filePath("flood.wav"));
        const ExportOutcome outcome = exportSpeech(
            *synthesizer_, request, [](double) {}, false);
        QVERIFY2(outcome.status == ExportOutcome::Status::Saved, qPrintable(outcome.message));
        const QList<int> runs = quietRuns(request.outputPath, outcome.sampleRate);
        QCOMPARE(runs.size(), 3);
        for (const int between : {runs[0], runs[2]})
            QVERIFY2(between >= 100 && between <= 250, qPrintable(QString::number(between)));
        QVERIFY2(runs[1] >= 950 && runs[1] <= 1300, qPrintable(QString::number(runs[1])));
    }

    void anExportThatDoesNotFinishLeavesNoFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("unwritableFolder");
        QTest::addColumn<int>("cancelAfter"); // progress reports; -1: never
        QTest::newRow("Opus cancelled while speaking") << "a.opus" << false << 1;
        QTest::newRow("WAV cancelled while speaking") << "a.wav" << false << 1;
        QTest::newRow("Opus cancelled after the last sentence") << "a.opus" << false << 4;
        QTest::newRow("folder that cannot be written") << "a.opus" << true << -1;
    }
    void anExportThatDoesNotFinishLeavesNoFile() {
        QFETCH(QString, name);
        QFETCH(bool, unwritableFolder);
        QFETCH(int, cancelAfter);
        QTemporaryDir dir;
        // A folder that cannot hold files, even for the superuser: it is a file.
        const QString folder = unwritableFolder ? dir.filePath("plain") : dir.path();
        if (unwritableFolder) {
            QFile plain(folder);
            QVERIFY(plain.open(QIODevice::WriteOnly));
            plain.write("keep");
        }
        const QStringList before = filesIn(dir.path());
        const QStringList tempBefore = filesIn(QDir::tempPath());
        std::atomic<bool> cancelled{false};
        int reports = 0;
        const ExportOutcome outcome = exportSpeech(
            *synthesizer_, twoPages(folder + "/" + name),
            [&](double) {
                if (++reports == cancelAfter)
                    cancelled = true;
            },
            cancelled);
        if (unwritableFolder) {
            QCOMPARE(outcome.status, ExportOutcome::Status::Failed);
            QVERIFY2(outcome.message.contains(folder), qPrintable(outcome.message));
        } else {
            QCOMPARE(outcome.status, ExportOutcome::Status::Cancelled);
        }
        QCOMPARE(filesIn(dir.path()), before);
        QCOMPARE(filesIn(QDir::tempPath()), tempBefore); // the sound waiting to be encoded too
    }

    void badRequestsAreRefusedWithAWord_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("says");
        QTest::newRow("not a sound file") << "a.txt"
                                          << "Words."
                                          << "end it in .opus or .wav";
        QTest::newRow("nothing to say") << "a.opus"
                                        << " \n "
                                        << "no text";
    }
    void badRequestsAreRefusedWithAWord() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, says);
        QTemporaryDir dir;
        ExportRequest request;
        request.outputPath = dir.filePath(name);
        request.chapters = {{QStringLiteral("One"), text}};
        const ExportOutcome outcome = exportSpeech(
            *synthesizer_, request, [](double) {}, false);
        QCOMPARE(outcome.status, ExportOutcome::Status::Failed);
        QVERIFY2(outcome.message.contains(says), qPrintable(outcome.message));
        QVERIFY(filesIn(dir.path()).isEmpty());
    }

    void theJobSpeaksOffTheCallersThread() {
        QTemporaryDir dir;
        AudioExportJob job;
        QSignalSpy finished(&job, &AudioExportJob::finished);
        QSignalSpy progressed(&job, &AudioExportJob::progressed);
        QVERIFY(job.start(twoPages(dir.filePath("a.opus"))));
        QVERIFY(!job.start(twoPages(dir.filePath("b.opus")))); // one at a time
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 20000);
        QCOMPARE(finished.first().first().value<ExportOutcome>().status,
                 ExportOutcome::Status::Saved);
        QCOMPARE(progressed.last().first().toInt(), 1000);
        QVERIFY(!job.isRunning());
        QCOMPARE(filesIn(dir.path()), QStringList{"a.opus"});

        // Cancelled, and a job dropped while it speaks: neither leaves its file.
        QVERIFY(job.start(twoPages(dir.filePath("c.opus"))));
        job.cancel();
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 2, 20000);
        QCOMPARE(finished.last().first().value<ExportOutcome>().status,
                 ExportOutcome::Status::Cancelled);
        {
            AudioExportJob dropped;
            QVERIFY(dropped.start(twoPages(dir.filePath("d.opus"))));
        }
        QCOMPARE(filesIn(dir.path()), QStringList{"a.opus"});
    }
};

QTEST_GUILESS_MAIN(TestSpeechExport)
#include "tst_speechexport.moc"
