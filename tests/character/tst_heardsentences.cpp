// The listening test's count, on recordings made here from espeak-ng's own synthesis of its
// sentences: a pause inside a sentence is no sentence, a sentence lost or cut is missed.
#include "HeardSentences.h"
#include "platform/character/EspeakSynthesizer.h"
#include "support/SkipOutsideCi.h"

#include <QTest>

using namespace folimar;
using namespace folimar::testing;

namespace {

enum class Damage { None, PausesInside, Lost, SilentForItsTime, CutInHalf };

constexpr int SentenceCount = 200;
constexpr int Damaged = 117;

} // namespace

Q_DECLARE_METATYPE(Damage)

class TestHeardSentences : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aSentenceIsMissedOnlyWhenItsVoiceIs_data();
    void aSentenceIsMissedOnlyWhenItsVoiceIs();
};

void TestHeardSentences::aSentenceIsMissedOnlyWhenItsVoiceIs_data() {
    QTest::addColumn<Damage>("damage");
    QTest::addColumn<QList<int>>("missed");
    QTest::newRow("every sentence whole") << Damage::None << QList<int>{};
    QTest::newRow("pauses inside sentences") << Damage::PausesInside << QList<int>{};
    QTest::newRow("one lost") << Damage::Lost << QList<int>{Damaged};
    QTest::newRow("one silent for its time") << Damage::SilentForItsTime << QList<int>{Damaged};
    QTest::newRow("one cut in half") << Damage::CutInHalf << QList<int>{Damaged};
}

// 200 sentences said one after the other, each handed over as the one before ended and
// heard 30 ms later, the end of the last reported 60 ms late.
void TestHeardSentences::aSentenceIsMissedOnlyWhenItsVoiceIs() {
    QFETCH(Damage, damage);
    QFETCH(QList<int>, missed);
    QString why;
    const auto synthesizer = character::EspeakSynthesizer::open(&why);
    if (!synthesizer)
        FOLIMAR_SKIP_OUTSIDE_CI(qPrintable("espeak-ng is not on this machine: " + why));
    const QStringList texts{"Birds sing.", "The sun is up.", "Dogs run.",
                            "Fish swim.",  "Trees grow.",    "Rain falls."};
    character::VoiceSettings settings;
    settings.rate = 1.0;
    QList<std::vector<std::int16_t>> voices;
    int rate = 0;
    for (const QString& text : texts) {
        character::SpokenAudio audio = synthesizer->synthesizeToBuffer(text, settings);
        voices << std::move(audio.samples);
        rate = audio.sampleRate;
    }
    const auto silence = [&](int ms) { return std::vector<std::int16_t>(rate * ms / 1000); };

    std::vector<std::int16_t> recording = silence(500);
    QList<std::int64_t> handedOver;
    QStringList said;
    for (int i = 0; i < SentenceCount; ++i) {
        handedOver << std::int64_t(recording.size()) * 1000 / rate;
        said << texts[i % texts.size()];
        std::vector<std::int16_t> heard = silence(30);
        const std::vector<std::int16_t>& voice = voices[i % texts.size()];
        const auto middle = voice.begin() + qsizetype(voice.size() / 2);
        if (damage == Damage::PausesInside && i % 7 == 3) {
            heard.insert(heard.end(), voice.begin(), middle);
            heard.insert(heard.end(), std::size_t(rate) * 400 / 1000, 0);
            heard.insert(heard.end(), middle, voice.end());
        } else if (i != Damaged || damage == Damage::None || damage == Damage::PausesInside) {
            heard.insert(heard.end(), voice.begin(), voice.end());
        } else if (damage == Damage::SilentForItsTime) {
            heard.insert(heard.end(), voice.size(), 0);
        } else if (damage == Damage::CutInHalf) {
            heard.insert(heard.end(), voice.begin(), middle);
        }
        recording.insert(recording.end(), heard.begin(), heard.end());
    }
    handedOver << std::int64_t(recording.size()) * 1000 / rate + 60;
    const std::vector<std::int16_t> after = silence(500);
    recording.insert(recording.end(), after.begin(), after.end());

    QCOMPARE(sentencesNotHeardWhole(voicedFrames(recording, rate), handedOver, said), missed);
}

QTEST_APPLESS_MAIN(TestHeardSentences)
#include "tst_heardsentences.moc"
