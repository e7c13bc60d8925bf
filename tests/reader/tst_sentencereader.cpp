#include "ReaderRig.h"
#include "StandInTopicList.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>

using namespace folimar;
using folimar::testing::ReaderRig;
using folimar::testing::StandInTopicList;
using Completion = folimar::testing::ScriptedCharacter::Completion;

class TestSentenceReader : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void splitsTextIntoSentences_data();
    void splitsTextIntoSentences();
    void speechOptions_data();
    void speechOptions();
    void pausingMidSentenceRereadsIt();
    void nextAndPreviousSentence();
    void rewindAndClickMoveReading();
    void readsOnThroughTopics();
    void topicChangeWhileReadingStartsTheNewTopic();
    void unstoredEditsEndReadingWithAMessage();
    void stopEndsReadingWhereItWas();
    void reloadedCharacterRetiresTheOldLoop();
    void unansweredRequestTimesOut();
    void missingCharacterShowsTheNotice();
    void emptyTopicsDoNotLockUpContinuousPlay();
    void spokenWordFollowsTheVoiceWithinItsSentence();
    void lateOrStrayWordsMarkNothing();
};

void TestSentenceReader::splitsTextIntoSentences_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("readPos");
    QTest::addColumn<QStringList>("sentences");
    QTest::addColumn<QList<int>>("starts");
    QTest::addColumn<int>("sentenceEnds");

    QTest::newRow("three short sentences")
        << "ab. cd. ef" << 0 << QStringList{"ab.", " cd.", " ef"} << QList<int>{0, 3, 7} << 0;
    QTest::newRow("from a later sentence")
        << "ab. cd. ef" << 3 << QStringList{" cd.", " ef"} << QList<int>{3, 7} << 0;
    QTest::newRow("ReadPos after the last period starts at the top")
        << "ab. cd. ef" << 8 << QStringList{"ab.", " cd.", " ef"} << QList<int>{0, 3, 7} << 0;
    QTest::newRow("decimal number")
        << "It costs 3.50 now. Buy it.\n"
        << 0 << QStringList{"It costs 3.50 now.", " Buy it.", "\n"} << QList<int>{0, 18, 26} << 0;
    QTest::newRow("version number at the end")
        << "Version 2.0" << 0 << QStringList{"Version 2.0"} << QList<int>{0} << 0;
    QTest::newRow("no period") << "no period here" << 0 << QStringList{"no period here"}
                               << QList<int>{0} << 0;
    QTest::newRow("no period, ReadPos inside")
        << "no period here" << 5 << QStringList{"no period here"} << QList<int>{0} << 0;
    QTest::newRow("line breaks are kept")
        << "One.\nTwo.\n"
        << 0 << QStringList{"One.", "\nTwo.", "\n"} << QList<int>{0, 4, 9} << 0;
    // The highlight of a sentence ending the text stops short of its period.
    QTest::newRow("period ends the text")
        << "Go. Stop." << 0 << QStringList{"Go.", " Stop"} << QList<int>{0, 3} << 0;
    QTest::newRow("heading and question, by punctuation")
        << "Chapter One\n\nIs it? Yes. It is" << 0
        << QStringList{"Chapter One", "\n\nIs it?", " Yes.", " It is"} << QList<int>{0, 11, 19, 24}
        << 1;
    QTest::newRow("quote after the end, by punctuation")
        << "\"Go.\" Now!" << 0 << QStringList{"\"Go.\"", " Now"} << QList<int>{0, 5} << 1;
}

void TestSentenceReader::splitsTextIntoSentences() {
    QFETCH(QString, text);
    QFETCH(int, readPos);
    QFETCH(QStringList, sentences);
    QFETCH(QList<int>, starts);
    QFETCH(int, sentenceEnds);

    ReaderRig rig(text, Completion::Auto);
    rig.settings.ReadPos = readPos;
    rig.settings.SentenceEnds = qint16(sentenceEnds);
    rig.play();
    QVERIFY(rig.character().isVisible());
    QVERIFY(rig.state.LoopActive);
    rig.readToEnd();

    QCOMPARE(rig.character().spoken, sentences);
    QCOMPARE(rig.readPositions, starts);
    for (int i = 0; i < sentences.size(); ++i)
        QCOMPARE(rig.highlights[i], qMakePair(starts[i], int(sentences[i].size())));
    // The normal ending: caret at the end, next play from the top, character gone.
    QVERIFY(!rig.reader.isReading());
    QCOMPARE(rig.settings.ReadPos, 0);
    QCOMPARE(rig.box.selectionStart(), text.size());
    QCOMPARE(rig.box.selectionLength(), 0);
    QVERIFY(!rig.character().isVisible());
    QVERIFY(!rig.state.LoopActive);
}

void TestSentenceReader::speechOptions_data() {
    QTest::addColumn<int>("repeat");
    QTest::addColumn<int>("caps");
    QTest::addColumn<QStringList>("spoken");
    QTest::newRow("plain") << 0 << 0 << QStringList{"Big One.", " Two"};
    QTest::newRow("repeat") << 1 << 0 << QStringList{"Big One.", "Big One.", " Two", " Two"};
    QTest::newRow("caps as small") << 0 << 1 << QStringList{"big one.", " two"};
}

void TestSentenceReader::speechOptions() {
    QFETCH(int, repeat);
    QFETCH(int, caps);
    QFETCH(QStringList, spoken);
    ReaderRig rig("Big One. Two", Completion::Auto);
    rig.settings.RepeatMode = qint16(repeat);
    rig.settings.CapsAsSmall = qint16(caps);
    rig.play();
    rig.readToEnd();
    QCOMPARE(rig.character().spoken, spoken);
}

void TestSentenceReader::pausingMidSentenceRereadsIt() {
    ReaderRig rig("First one. Second one. Third");
    rig.play();
    rig.finish(); // the character's start-up request
    QCOMPARE(rig.character().spoken, QStringList{"First one."});

    rig.reader.TogglePause();
    QVERIFY(rig.state.Paused);
    QCOMPARE(rig.character().stops, 1);
    rig.settle(); // the cut speech reports completion; the loop holds
    QCOMPARE(rig.character().spoken.size(), 1);
    rig.reader.TogglePause();
    rig.settle();
    // The first sentence of a run is read again whole, first letter included.
    QCOMPARE(rig.character().spoken.last(), "First one.");

    rig.finish();
    QCOMPARE(rig.character().spoken.last(), " Second one.");
    rig.reader.TogglePause();
    rig.settle();
    QCOMPARE(rig.settings.ReadPos, 10);
    rig.reader.PlayReading(); // resumes as well
    rig.settle();
    QCOMPARE(rig.character().spoken,
             (QStringList{"First one.", "First one.", " Second one.", " Second one."}));
    QCOMPARE(rig.readPositions, (QList<int>{0, 0, 10, 10}));

    // With repeat on, a sentence cut by a pause is not repeated while paused.
    ReaderRig repeating("One. Two");
    repeating.settings.RepeatMode = 1;
    repeating.play();
    repeating.finish();
    repeating.reader.TogglePause();
    repeating.settle();
    QCOMPARE(repeating.character().spoken, QStringList{"One."});
    repeating.reader.TogglePause();
    repeating.settle();
    repeating.readToEnd();
    QCOMPARE(repeating.character().spoken, (QStringList{"One.", "One.", "One.", " Two", " Two"}));
}

void TestSentenceReader::nextAndPreviousSentence() {
    ReaderRig rig("First one. Second one. Third one. Fourth");
    rig.play();
    rig.finish();
    rig.reader.SkipSentence();
    rig.settle();
    QCOMPARE(rig.character().spoken.last(), " Second one.");
    QVERIFY(!rig.state.Paused);

    // Next while paused goes on with the sentence after the one that was cut.
    rig.reader.TogglePause();
    rig.settle();
    rig.reader.SkipSentence();
    rig.settle();
    QCOMPARE(rig.character().spoken.last(), " Third one.");

    rig.reader.PreviousSentence();
    rig.settle();
    QCOMPARE(rig.character().spoken.last(), " Second one.");
    QCOMPARE(rig.settings.ReadPos, 10);
    rig.finish();
    QCOMPARE(rig.character().spoken.last(), " Third one.");

    // From a pause: back one sentence, and reading goes on.
    rig.reader.TogglePause();
    rig.settle();
    rig.reader.PreviousSentence();
    rig.settle();
    QVERIFY(!rig.state.Paused);
    QCOMPARE(rig.character().spoken.last(), " Second one.");
    rig.finish();
    rig.finish();
    QCOMPARE(rig.character().spoken.last(), " Fourth");
    QVERIFY(!rig.state.NoRewind);
}

void TestSentenceReader::rewindAndClickMoveReading() {
    ReaderRig rig("First one. Second one. Third one");
    rig.play();
    rig.finish();
    rig.finish();
    QCOMPARE(rig.character().spoken.last(), " Second one.");
    rig.reader.RewindReading();
    rig.settle();
    QCOMPARE(rig.character().spoken.last(), "First one.");
    QCOMPARE(rig.readPositions.last(), 0);

    // A click reads on from the caret.
    rig.box.setSelectionStart(23);
    rig.reader.RepositionAtCaret();
    rig.settle();
    QCOMPARE(rig.character().spoken.last(), "Third one");
    QCOMPARE(rig.readPositions.last(), 23);

    // A click while idle: the next play starts right at the caret.
    ReaderRig idle("First one. Second one.\n", Completion::Auto);
    idle.box.setSelectionStart(11);
    idle.reader.RepositionAtCaret();
    idle.play();
    idle.readToEnd();
    QCOMPARE(idle.character().spoken, (QStringList{"Second one.", "\n"}));

    // A click on a book's last sentence while idle, and a click after the last period while
    // reading: reading goes from the caret to the end, once, then on to the next topic.
    const QString text("First one. Second one. and the rest");
    {
        ReaderRig book(text, Completion::Auto);
        StandInTopicList list({text, "Next"}, book.box, book.state);
        book.reader.setTopicList(&list);
        book.settings.PlayTopicsMode = 1;
        book.box.setSelectionStart(11);
        book.reader.RepositionAtCaret();
        book.play();
        book.readToEnd();
        QCOMPARE(book.character().spoken, (QStringList{"Second one.", " and the rest", "Next"}));
        QCOMPARE(list.selected, QList<int>{1});
    }
    {
        ReaderRig book(text);
        StandInTopicList list({text, "Next"}, book.box, book.state);
        book.reader.setTopicList(&list);
        book.settings.PlayTopicsMode = 1;
        book.play();
        book.finish();
        book.box.setSelectionStart(23);
        book.reader.RepositionAtCaret();
        book.settle();
        book.readToEnd();
        QCOMPARE(book.character().spoken, (QStringList{"First one.", "and the rest", "Next"}));
        QCOMPARE(list.selected, QList<int>{1});
    }
}

void TestSentenceReader::readsOnThroughTopics() {
    const QStringList texts{"A1. A2", "B1. B2"};
    {
        ReaderRig all(texts[0], Completion::Auto);
        StandInTopicList list(texts, all.box, all.state);
        all.reader.setTopicList(&list);
        all.settings.PlayTopicsMode = 1;
        all.play();
        all.readToEnd();
        QCOMPARE(all.character().spoken, (QStringList{"A1.", " A2", "B1.", " B2"}));
        QCOMPARE(list.selected, QList<int>{1});
        QCOMPARE(list.selectedByReader, QList<bool>{true});
        QVERIFY(list.deselects == 1 && list.mutedWhenDeselected);
        QVERIFY(!all.state.ListEventsMuted);
        QCOMPARE(all.settings.TopicIndex, 1);
    }
    {
        ReaderRig continuous(texts[0], Completion::Auto);
        StandInTopicList list(texts, continuous.box, continuous.state);
        continuous.reader.setTopicList(&list);
        continuous.settings.PlayTopicsMode = 2;
        continuous.play();
        for (int guard = 0; continuous.character().spoken.size() < 6 && guard < 100; ++guard)
            continuous.settle();
        QCOMPARE(continuous.character().spoken.mid(0, 6),
                 (QStringList{"A1.", " A2", "B1.", " B2", "A1.", " A2"}));
        QCOMPARE(list.selected.mid(0, 2), (QList<int>{1, 0}));
        continuous.reader.StopReading();
        continuous.settle();
        QVERIFY(!continuous.reader.isReading());
    }
    {
        ReaderRig single(texts[0], Completion::Auto);
        StandInTopicList list(texts, single.box, single.state);
        single.reader.setTopicList(&list);
        single.settings.PlayTopicsMode = 0;
        QSignalSpy readThrough(&single.reader, &reader::SentenceReader::topicReadThrough);
        single.play();
        single.settle();
        // Halts at the end of each topic until resumed, and says so.
        QCOMPARE(single.character().spoken, (QStringList{"A1.", " A2"}));
        QVERIFY(single.state.Paused && single.reader.isReading());
        QCOMPARE(readThrough.count(), 1);
        single.reader.SkipSentence();
        single.settle();
        QCOMPARE(single.character().spoken.size(), 4);
        QVERIFY(single.state.Paused);
        // The skip that ended the halt does not carry over into the next topic's pauses.
        single.character().completion = Completion::Manual;
        single.reader.RewindReading();
        single.settle();
        single.reader.TogglePause();
        single.settle();
        QCOMPARE(single.character().spoken.size(), 5);
        QVERIFY(single.state.Paused);
        single.character().completion = Completion::Auto;
        single.reader.TogglePause();
        single.settle();
        QCOMPARE(single.character().spoken.mid(4), (QStringList{"B1.", "B1.", " B2"}));
        QVERIFY(single.state.Paused);
        single.reader.TogglePause();
        single.settle();
        QVERIFY(!single.reader.isReading());
        QCOMPARE(single.settings.TopicIndex, 1);
    }
}

void TestSentenceReader::topicChangeWhileReadingStartsTheNewTopic() {
    const QStringList texts{"A1. A2. A3.", "B1. B2. B3. B4 end"};
    for (int sentencesBefore : {1, 3}) {
        ReaderRig rig(texts[0]);
        StandInTopicList list(texts, rig.box, rig.state);
        rig.reader.setTopicList(&list);
        rig.settings.PlayTopicsMode = 1;
        rig.play();
        for (int i = 0; i < sentencesBefore; ++i)
            rig.finish();
        rig.reader.changeTopic([&] {
            rig.settings.TopicIndex = 1;
            list.select(1);
        });
        QVERIFY(!rig.state.Paused);
        rig.settle();
        // From the new text's top, also when the change came during the last sentence.
        QCOMPARE(rig.character().spoken.last(), "B1.");
        QCOMPARE(rig.readPositions.last(), 0);
        rig.readToEnd();
        QCOMPARE(rig.character().spoken.mid(sentencesBefore),
                 (QStringList{"B1.", " B2.", " B3.", " B4 end"}));
        QCOMPARE(rig.settings.TopicIndex, 1);
    }
}

void TestSentenceReader::unstoredEditsEndReadingWithAMessage() {
    const QStringList texts{"A1. A2", "B1."};
    ReaderRig rig(texts[0], Completion::Auto);
    StandInTopicList list(texts, rig.box, rig.state);
    rig.reader.setTopicList(&list);
    rig.settings.PlayTopicsMode = 1;
    rig.state.TopicDirty = true;
    rig.play();
    rig.readToEnd();
    QCOMPARE(rig.character().spoken, (QStringList{"A1.", " A2"}));
    QVERIFY(list.selected.isEmpty());
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QCOMPARE(rig.dialogs.messages[0].text, "Please update your topic");
    QCOMPARE(rig.dialogs.messages[0].title, "Folimar");
    QCOMPARE(rig.dialogs.messages[0].icon, platform::MessageIcon::Critical);
    QCOMPARE(rig.dialogs.messages[0].buttons, platform::MessageButtons::Ok);

    // The tray reader has no topics and never asks for one to be updated.
    ReaderRig tray("A1. A2", Completion::Auto);
    tray.state.TopicDirty = true;
    tray.play();
    tray.readToEnd();
    QVERIFY(tray.dialogs.messages.isEmpty());
}

void TestSentenceReader::stopEndsReadingWhereItWas() {
    ReaderRig rig("One. Two. Three");
    rig.state.QuitPending = true;
    rig.play();
    rig.finish();
    rig.finish();
    rig.reader.StopReading();
    rig.settle();
    QVERIFY(!rig.reader.isReading());
    QCOMPARE(rig.character().spoken, (QStringList{"One.", " Two."}));
    QCOMPARE(rig.settings.ReadPos, 4); // the next play goes on with " Two."
    QCOMPARE(rig.box.selectionLength(), 0);
    QVERIFY(!rig.character().isVisible());
    QVERIFY(!rig.state.LoopActive && !rig.state.StopRequested);
    QVERIFY(rig.state.QuitRequested);

    // Play right after Stop, before the loop reached its stop: a fresh run that reads on.
    ReaderRig again("One. Two. Three");
    again.play();
    again.finish();
    again.reader.StopReading();
    again.reader.PlayReading();
    again.settle();
    again.readToEnd();
    QCOMPARE(again.character().spoken, (QStringList{"One.", "One.", " Two.", " Three"}));
    QVERIFY(!again.state.QuitRequested);

    // A stop made while nothing was reading does not cut the next play short.
    ReaderRig idle("One. Two", Completion::Auto);
    idle.reader.StopReading();
    idle.play();
    idle.readToEnd();
    QCOMPARE(idle.character().spoken, (QStringList{"One.", " Two"}));

    // Stop while a topic's text after its last period is read, in Single mode: the halt at
    // the topic's end must not keep reading on, paused.
    const QStringList texts{"A1. A2", "B1. B2"};
    ReaderRig single(texts[0]);
    StandInTopicList list(texts, single.box, single.state);
    single.reader.setTopicList(&list);
    single.settings.PlayTopicsMode = 0;
    single.play();
    for (int guard = 0; single.character().spoken.size() < 2 && guard < 10; ++guard)
        single.finish();
    QCOMPARE(single.character().spoken, (QStringList{"A1.", " A2"}));
    single.reader.StopReading();
    single.finish();
    QVERIFY(!single.reader.isReading());
    QVERIFY(!single.state.Paused && !single.state.StopRequested);
    QVERIFY(!single.character().isVisible());
}

void TestSentenceReader::reloadedCharacterRetiresTheOldLoop() {
    ReaderRig rig("One. Two. Three");
    rig.play();
    rig.finish();
    QPointer<testing::ScriptedCharacter> old = &rig.character();
    rig.host.ReloadCharacter("/chars/Merlin.acs");
    QVERIFY(old.isNull());
    rig.watchSpeech();
    QCOMPARE(rig.settings.CharacterPath, "/chars/Merlin");
    // The new character goes on with the sentence that was being read, in one loop only.
    QCOMPARE(rig.character().spoken, QStringList{"One."});
    QVERIFY(rig.character().isVisible());
    rig.readToEnd();
    QCOMPARE(rig.character().spoken, (QStringList{"One.", " Two.", " Three"}));
    QVERIFY(!rig.reader.isReading() && !rig.state.LoopActive);

    // A file that does not load: the message, no reading; the next play brings back the
    // character of the settings.
    ReaderRig broken("One. Two", Completion::Auto);
    broken.service.missing << "/chars/Broken.acs";
    broken.play();
    broken.host.ReloadCharacter("/chars/Broken.acs");
    QCOMPARE(broken.dialogs.messages.size(), 1);
    QCOMPARE(broken.dialogs.messages[0].text,
             "There was an error opening the file /chars/Broken.acs");
    QCOMPARE(broken.dialogs.messages[0].buttons, platform::MessageButtons::Ok);
    QVERIFY(!broken.reader.isReading());
    QCOMPARE(broken.settings.CharacterPath, "Genie");
    broken.play();
    broken.readToEnd();
    QCOMPARE(broken.service.loads.last(), "Genie.acs");
    QCOMPARE(broken.character().spoken, (QStringList{"One.", " Two"}));
}

void TestSentenceReader::unansweredRequestTimesOut() {
    ReaderRig rig("One. Two", Completion::Never);
    rig.play();
    rig.settle();
    QVERIFY(rig.character().spoken.isEmpty());
    rig.clock.advance(9999);
    rig.settle();
    QVERIFY(rig.character().spoken.isEmpty());
    rig.clock.advance(1);
    rig.settle();
    QCOMPARE(rig.character().spoken, QStringList{"One."});
    // One word: the margin and a second for the word.
    rig.clock.advance(10999);
    rig.settle();
    QCOMPARE(rig.character().spoken.size(), 1);
    rig.clock.advance(1);
    rig.settle();
    QCOMPARE(rig.character().spoken, (QStringList{"One.", " Two"}));
    // A late completion of the timed-out request does not count for the next one.
    for (int i = 0; i < 3; ++i) // the start-up request, then "One." and its state request
        rig.character().completeNext();
    rig.settle();
    QVERIFY(rig.reader.isReading());
    rig.clock.advance(11000);
    rig.settle();
    QVERIFY(!rig.reader.isReading());
}

void TestSentenceReader::missingCharacterShowsTheNotice() {
    ReaderRig rig("One.");
    rig.service.unavailable = true;
    rig.play();
    QCOMPARE(rig.missingNotices, 1);
    QVERIFY(!rig.reader.isReading());

    ReaderRig empty("");
    empty.play();
    QCOMPARE(empty.missingNotices, 0);
    QVERIFY(empty.service.loads.isEmpty());
}

void TestSentenceReader::emptyTopicsDoNotLockUpContinuousPlay() {
    const QStringList texts{"A one", "", ""};
    ReaderRig rig(texts[0], Completion::Auto);
    StandInTopicList list(texts, rig.box, rig.state);
    rig.reader.setTopicList(&list);
    rig.settings.PlayTopicsMode = 2;
    rig.play();
    for (int i = 0; i < 20; ++i)
        rig.settle();
    QVERIFY(rig.character().spoken.count("A one") > 1);
    rig.reader.StopReading();
    rig.settle();
    QVERIFY(!rig.reader.isReading());
}

namespace {

using Words = QList<QPair<int, int>>;

Words wordsOf(const QSignalSpy& spy) {
    Words words;
    for (const auto& arguments : spy)
        words.append({arguments.at(0).toInt(), arguments.at(1).toInt()});
    return words;
}

} // namespace

void TestSentenceReader::spokenWordFollowsTheVoiceWithinItsSentence() {
    ReaderRig rig("Hello there. Big WORLD here.");
    QSignalSpy words(&rig.reader, &reader::SentenceReader::spokenWordChanged);
    rig.play();
    rig.finish(); // the start-up request
    rig.character().reachWord(0, 5);
    rig.character().reachWord(6, 5);
    rig.finish(); // the sentence is said: its mark goes
    QCOMPARE(rig.character().spoken.last(), " Big WORLD here");
    rig.character().reachWord(5, 5); // in the text box, the sentence starts at 12
    QCOMPARE(wordsOf(words), (Words{{0, 5}, {6, 5}, {0, 0}, {17, 5}}));

    // Caps as small: the spoken text can grow ("İ" becomes two characters); the mark is
    // still on the page's word.
    ReaderRig caps(QStringLiteral("\u0130\u0130 MANY cats. End"));
    caps.settings.CapsAsSmall = 1;
    QSignalSpy capsWords(&caps.reader, &reader::SentenceReader::spokenWordChanged);
    caps.play();
    caps.finish();
    const QString spoken = caps.character().spoken.last();
    QCOMPARE(spoken.size(), 15);
    const int many = int(spoken.indexOf(QStringLiteral("many")));
    caps.character().reachWord(many, 4);
    caps.character().reachWord(0, 4);   // both dotted capitals, four spoken characters
    caps.character().reachWord(0, 1);   // half of what one capital became
    caps.character().reachWord(12, 50); // runs past the end: clipped to the sentence
    QCOMPARE(wordsOf(capsWords), (Words{{3, 4}, {0, 2}, {0, 1}, {10, 3}}));
}

void TestSentenceReader::lateOrStrayWordsMarkNothing() {
    ReaderRig rig("One two. Three four. Five six.");
    QSignalSpy words(&rig.reader, &reader::SentenceReader::spokenWordChanged);
    rig.play();
    rig.finish();
    // Words outside the spoken text.
    for (const auto& [offset, length] : Words{{-1, 3}, {10, 2}, {500, 1}, {2, 0}, {2, -4}})
        rig.character().reachWord(offset, length);
    QCOMPARE(words.count(), 0);

    // Next: the cut sentence's words that are still on their way are dropped.
    rig.character().reachWord(4, 3);
    rig.reader.SkipSentence();
    rig.character().reachWord(0, 3);
    QCOMPARE(wordsOf(words), (Words{{4, 3}, {0, 0}}));
    rig.settle();
    QCOMPARE(rig.character().spoken.last(), " Three four.");
    rig.character().reachWord(1, 5);
    QCOMPARE(wordsOf(words).last(), (QPair<int, int>(9, 5)));

    // Pause, then stop: nothing more is marked until a sentence is spoken again.
    words.clear();
    rig.reader.TogglePause();
    rig.character().reachWord(7, 4);
    rig.reader.TogglePause();
    rig.settle();
    rig.reader.StopReading();
    rig.settle();
    rig.character().reachWord(1, 5);
    QVERIFY(!rig.reader.isReading());
    QCOMPARE(wordsOf(words), (Words{{0, 0}}));

    // A word of an earlier request, reported while a later sentence is spoken.
    rig.play();
    rig.settle();
    const QString now = rig.character().spoken.last();
    QVERIFY(!now.isEmpty());
    words.clear();
    Q_EMIT rig.character().wordReached(1, 0, 3); // the start-up request, long done
    QCOMPARE(words.count(), 0);
}

QTEST_GUILESS_MAIN(TestSentenceReader)
#include "tst_sentencereader.moc"
