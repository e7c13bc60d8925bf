#include "reader/CharacterHost.h"
#include "reader/FindWindow.h"
#include "reader/MemoryTextBox.h"
#include "reader/ReaderState.h"
#include "reader/ReplaceWindow.h"
#include "reader/SentenceReader.h"
#include "reader/TextFinder.h"
#include "settings/Settings.h"
#include "store/BookStore.h"
#include "support/ManualClock.h"
#include "support/ScriptedCharacterService.h"
#include "support/ScriptedDialogs.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

using namespace folimar;
using testing::ScriptedDialogs;

namespace {

struct Topic {
    int TopicNo;
    QString PicText;
};

// A book on disk, the reading engine over an in-memory reader text, and a finder whose
// topic list shows a topic by putting its stored text into the reader text.
struct FinderRig {
    explicit FinderRig(const QList<Topic>& topics, std::optional<QString> owner = {}) {
        QDir().mkpath(program);
        settings.UserName = QStringLiteral("ann");
        {
            settings::Settings makerSettings;
            ScriptedDialogs quiet;
            store::BookStore maker{makerSettings, {program, program}, quiet};
            maker.LoadBook();
            for (const Topic& topic : topics)
                maker.storeTopic({topic.TopicNo,
                                  QString::number(topic.TopicNo),
                                  topic.PicText,
                                  {},
                                  topic.TopicNo == topics.first().TopicNo ? owner : std::nullopt});
            maker.CloseAndCompactBook();
            QFile::rename(maker.untitledBookPath(), root.filePath(QStringLiteral("b.fmr")));
        }
        settings.BookPath = root.filePath(QStringLiteral("b.fmr"));
        store.LoadBook();
        topicCount = int(topics.size());
        reader.setTextBox(&box);
    }
    ~FinderRig() { reader.setTextBox(nullptr); }

    void show(int topicNo) {
        shown.append(topicNo);
        shownTopic = topicNo;
        box.setText(store.readTopic(topicNo, false).value_or(store::TopicPage{}).PicText);
    }
    QString storedText(int topicNo) {
        return store.readTopic(topicNo, false).value_or(store::TopicPage{}).PicText;
    }
    QString lastMessage() const {
        return dialogs.messages.isEmpty() ? QString() : dialogs.messages.last().text;
    }

    QTemporaryDir root;
    QString program = root.filePath(QStringLiteral("program"));
    settings::Settings settings;
    ScriptedDialogs dialogs;
    store::BookStore store{settings, {program, program}, dialogs};
    reader::ReaderState state;
    testing::ScriptedCharacterService service;
    testing::ManualClock clock;
    reader::CharacterHost host{state, settings, service, dialogs};
    reader::SentenceReader reader{state, settings, host, dialogs, clock};
    reader::MemoryTextBox box;
    int topicCount = 0;
    int shownTopic = 0;
    QList<int> shown;
    int refreshes = 0;
    reader::TextFinder finder{{settings, state, reader, host, dialogs, box, &store},
                              {[this] { return topicCount; },
                               [this](int topicNo) { show(topicNo); },
                               [this] {
                                   ++refreshes;
                                   show(shownTopic);
                               },
                               {}}};
};

const QString NotFound = QStringLiteral(" : Not found");

} // namespace

Q_DECLARE_METATYPE(Topic)

class TextFinderTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pageSearch_data();
    void pageSearch();
    void bookSearchGoesTopicByTopicAndStartsAgain();
    void bookSearchWithoutMatchEnds_data();
    void bookSearchWithoutMatchEnds();
    void replaceAll_data();
    void replaceAll();
    void withoutBookEverySearchIsOnThePage();
    void findWindowKeysAndTexts();
};

void TextFinderTest::pageSearch_data() {
    QTest::addColumn<QString>("find");
    QTest::addColumn<int>("matchCase");
    QTest::addColumn<QList<int>>("positions"); // -1: " : Not found"

    QTest::newRow("any case") << "cat" << 0 << QList<int>{4, 17, -1, 4};
    QTest::newRow("match case") << "Cat" << 1 << QList<int>{17, -1, 17};
    QTest::newRow("absent") << "dog" << 0 << QList<int>{-1, -1};
}

// Matches one after another from the top, the reading place moved to each; after the
// last one " : Not found" and the next search starts at the top again.
void TextFinderTest::pageSearch() {
    QFETCH(QString, find);
    QFETCH(int, matchCase);
    QFETCH(QList<int>, positions);
    FinderRig rig({{1, QStringLiteral("x")}});
    rig.box.setText(QStringLiteral("The cat sat. The Cat ran."));
    rig.state.FindPos = -1;
    rig.finder.search.FindOnPage = true;
    rig.finder.search.FindText = find;
    rig.finder.search.MatchCase = qint16(matchCase);

    for (int expected : positions) {
        rig.dialogs.messages.clear();
        rig.state.JumpPending = false;
        rig.finder.FindNext();
        if (expected < 0) {
            QCOMPARE(rig.lastMessage(), find + NotFound);
            QCOMPARE(rig.dialogs.messages.last().title, QStringLiteral("Find Next from Top?"));
            QVERIFY(rig.state.FindActive);
            QVERIFY(!rig.state.JumpPending);
            continue;
        }
        QVERIFY(rig.dialogs.messages.isEmpty());
        QCOMPARE(rig.box.selectionStart(), expected);
        QCOMPARE(rig.box.selectionLength(), int(find.size()));
        QCOMPARE(rig.settings.ReadPos, expected);
        QCOMPARE(rig.state.JumpPos, expected);
        QVERIFY(rig.state.JumpPending && rig.state.UserMoved && !rig.state.Paused);
        QVERIFY(!rig.state.FindActive);
    }
    QVERIFY(rig.shown.isEmpty()); // a page search never changes the topic
}

// Topics in number order, whatever order they were stored in; empty pages skipped; the
// search starts at the first topic even when the page shown holds a match further on.
void TextFinderTest::bookSearchGoesTopicByTopicAndStartsAgain() {
    FinderRig rig({{4, QStringLiteral("Cat and cat.")},
                   {1, QStringLiteral("A cat.")},
                   {2, QString()},
                   {3, QStringLiteral("No match here.")}});
    rig.show(4);
    rig.shown.clear();
    rig.state.FindPos = 0;
    rig.finder.search.FindText = QStringLiteral("cat");

    const QList<QPair<int, int>> steps{{1, 2}, {4, 0}, {4, 8}, {0, -1}, {1, 2}};
    for (const auto& [topic, position] : steps) {
        rig.dialogs.messages.clear();
        rig.finder.FindNext();
        if (position < 0) {
            QCOMPARE(rig.lastMessage(), QStringLiteral("cat") + NotFound);
            QVERIFY(rig.finder.search.BookSearchFresh);
            continue;
        }
        QVERIFY2(rig.dialogs.messages.isEmpty(), qPrintable(rig.lastMessage()));
        QCOMPARE(rig.shownTopic, topic);
        QCOMPARE(rig.box.selectionStart(), position);
        QCOMPARE(rig.settings.ReadPos, position);
    }
    QCOMPARE(rig.shown, (QList<int>{1, 4, 1}));

    // Unstored edits in the reader stop a book search before anything moves.
    rig.state.TopicDirty = true;
    rig.finder.FindNext();
    QCOMPARE(rig.lastMessage(), QStringLiteral("Please update your topic"));
    QCOMPARE(rig.dialogs.messages.last().icon, platform::MessageIcon::Critical);
    QCOMPARE(rig.shown.size(), 3);
}

void TextFinderTest::bookSearchWithoutMatchEnds_data() {
    QTest::addColumn<QList<Topic>>("topics");
    QTest::addColumn<bool>("shownTextDiffers");

    QTest::newRow("empty pages") << QList<Topic>{{1, {}}, {2, {}}, {3, {}}} << false;
    QTest::newRow("no match") << QList<Topic>{{1, QStringLiteral("dog")}, {2, {}}} << false;
    QTest::newRow("shown page lacks it") << QList<Topic>{{1, QStringLiteral("a cat")}} << true;
}

// However often it is asked, a search with nothing to find reports " : Not found" once
// per request and comes back.
void TextFinderTest::bookSearchWithoutMatchEnds() {
    QFETCH(QList<Topic>, topics);
    QFETCH(bool, shownTextDiffers);
    FinderRig rig(topics);
    rig.finder.search.FindText = QStringLiteral("cat");
    reader::TextFinder finder{
        {rig.settings, rig.state, rig.reader, rig.host, rig.dialogs, rig.box, &rig.store},
        {[&rig] { return rig.topicCount; },
         [&rig, shownTextDiffers](int topicNo) {
             rig.show(topicNo);
             if (shownTextDiffers)
                 rig.box.setText(QStringLiteral("something else"));
         },
         {},
         {}}};
    finder.search.FindText = QStringLiteral("cat");
    for (int round = 0; round < 3; ++round)
        finder.FindNext();
    QCOMPARE(rig.dialogs.messages.size(), 3);
    QCOMPARE(rig.lastMessage(), QStringLiteral("cat") + NotFound);
    QVERIFY(finder.search.BookSearchFresh);
}

void TextFinderTest::replaceAll_data() {
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("with");
    QTest::addColumn<int>("matchCase");
    QTest::addColumn<int>("refusal"); // 0 none, 1 read only, 2 another owner, 3 unstored edits
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("texts"); // topics 1 and 2 afterwards

    const QStringList original{QStringLiteral("cat"), QStringLiteral("Cat, cat.")};
    QTest::newRow("grows around itself") << "cat"
                                         << "the cat" << 0 << 0 << "3 Replacements where made"
                                         << QStringList{"the cat", "the cat, the cat."};
    QTest::newRow("match case") << "Cat"
                                << "Dog" << 1 << 0 << "1 Replacements where made"
                                << QStringList{"cat", "Dog, cat."};
    QTest::newRow("absent") << "dog"
                            << "cat" << 0 << 0 << "dog : Not found" << original;
    QTest::newRow("read only") << "cat"
                               << "x" << 0 << 1 << "File opened as Read Only" << original;
    QTest::newRow("another owner")
        << "cat"
        << "x" << 0 << 2 << "Cant edit another users document" << original;
    QTest::newRow("unstored edits") << "cat"
                                    << "x" << 0 << 3 << "Please update your topic" << original;
}

void TextFinderTest::replaceAll() {
    QFETCH(QString, find);
    QFETCH(QString, with);
    QFETCH(int, matchCase);
    QFETCH(int, refusal);
    QFETCH(QString, message);
    QFETCH(QStringList, texts);
    FinderRig rig({{1, QStringLiteral("cat")}, {2, QStringLiteral("Cat, cat.")}},
                  refusal == 2 ? std::optional(QStringLiteral("bob")) : std::nullopt);
    rig.store.ReadOnlyMode = refusal == 1;
    rig.store.BookOwner = rig.store.firstRecordOwner();
    rig.state.TopicDirty = refusal == 3;
    rig.show(2);
    rig.settings.ReadPos = 5;

    reader::ReplaceWindow window(rig.finder);
    window.Text1->setText(find);
    window.Text2->setText(with);
    rig.finder.search.MatchCase = qint16(matchCase);
    QTest::keyClick(window.Text1, Qt::Key_Return);

    QCOMPARE(rig.dialogs.messages.size(), 1);
    QCOMPARE(rig.lastMessage(), message);
    QCOMPARE(rig.dialogs.messages.last().icon == platform::MessageIcon::Critical, refusal > 0);
    QCOMPARE(rig.storedText(1), texts.at(0));
    QCOMPARE(rig.storedText(2), texts.at(1));
    QVERIFY(window.Command1->isEnabled() && window.Command2->isEnabled());
    if (refusal == 0) {
        QCOMPARE(rig.refreshes, 1);
        QCOMPARE(rig.box.text(), texts.at(1)); // the shown topic shows the new text
        QCOMPARE(rig.settings.ReadPos, 5);
        QCOMPARE(rig.state.JumpPos, 5);
    } else {
        QCOMPARE(rig.refreshes, 0);
    }
}

// Vocimar has no book: "Find in Doc" only names the caption, the search stays in the text.
void TextFinderTest::withoutBookEverySearchIsOnThePage() {
    FinderRig rig({{1, QStringLiteral("x")}});
    rig.box.setText(QStringLiteral("a cat"));
    rig.state.FindPos = -1;
    reader::TextFinder finder{
        {rig.settings, rig.state, rig.reader, rig.host, rig.dialogs, rig.box, nullptr}, {}};
    finder.search.FindOnPage = false;
    finder.search.FindText = QStringLiteral("cat");
    finder.FindNext();
    QCOMPARE(rig.box.selectionStart(), 2);
    finder.FindNext();
    QCOMPARE(rig.lastMessage(), QStringLiteral("cat") + NotFound);
}

// The find window: typing sets the text to find and the saved last text, Ctrl+F and
// Ctrl+D switch the scope and caption, Enter and Ctrl+G find, Ctrl+T asks for Replace.
void TextFinderTest::findWindowKeysAndTexts() {
    FinderRig rig({{1, QStringLiteral("one cat, two cats")}});
    rig.show(1);
    rig.state.FindPos = -1;
    rig.settings.LastFindText = QStringLiteral("dog");
    int replaceAsked = 0;
    reader::FindWindow window(rig.finder, rig.settings, {[&replaceAsked] { ++replaceAsked; }});
    QCOMPARE(window.Text1->text(), QStringLiteral("dog"));

    window.open(true);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(window.windowTitle(), QStringLiteral("Find on Page"));
    window.Text1->selectAll();
    QTest::keyClicks(window.Text1, QStringLiteral("cat"));
    QCOMPARE(rig.settings.LastFindText, QStringLiteral("cat"));
    QTest::keyClick(window.Text1, Qt::Key_Return);
    QCOMPARE(rig.box.selectionStart(), 4);
    QTest::keyClick(window.Text1, Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(rig.box.selectionStart(), 13);

    QTest::keyClick(window.Text1, Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(window.windowTitle(), QStringLiteral("Find in Doc"));
    QVERIFY(!rig.finder.search.FindOnPage);
    QCOMPARE(window.Text1->selectedText(), QStringLiteral("cat"));
    QTest::keyClick(window.Text1, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(rig.finder.search.FindOnPage);
    QTest::keyClick(window.Text1, Qt::Key_T, Qt::ControlModifier);
    QCOMPARE(replaceAsked, 1);

    QTest::mouseClick(window.Check1, Qt::LeftButton);
    QCOMPARE(rig.finder.search.MatchCase, qint16(1));
    window.open(false, QStringLiteral("two"));
    QCOMPARE(rig.settings.LastFindText, QStringLiteral("two"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Find in Doc"));
    QTest::keyClick(window.Text1, Qt::Key_Escape);
    QVERIFY(window.isHidden());
}

QTEST_MAIN(TextFinderTest)
#include "tst_textfinder.moc"
