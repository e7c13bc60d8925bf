#include "bookwindow/BookFileCommands.h"
#include "platform/database/View.h"
#include "store/BookSchema.h"
#include "topics/TopicsRig.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <QTest>
#include <memory>

using namespace folimar;
using folimar::platform::MessageAnswer;
using folimar::platform::MessageButtons;
using folimar::platform::MessageIcon;
using folimar::testing::TestTopic;

namespace {

const QString DirtyTitle = QStringLiteral("First update your current topic");
const QString UntitledTitle = QStringLiteral("First save your file");

// The topic manager's rig with the File commands on it, recording what they ask of the
// reader window.
struct CommandsRig {
    CommandsRig() { t.locations.LastFolder = t.root.path(); }

    void start(const QString& path) {
        t.open(path);
        t.dialogs.messages.clear(); // the owner notice of a first load
        commands = std::make_unique<bookwindow::BookFileCommands>(
            bookwindow::BookFileCommands::Parts{t.settings, t.locations.LastFolder, t.store,
                                                t.state, t.reader, t.host, t.dialogs, t.page, t.m(),
                                                t.locations.ProgramFolder},
            bookwindow::BookFileCommands::Hooks{
                [this](const QString& text) { t.box.setText(text); },
                [this](const QString& caption) { readerCaption = caption; },
                [this] { ++activations; }, [this] { return t.box.text(); },
                [this] {
                    ++importStops;
                    t.store.ImportingInto.clear();
                }});
    }
    // The untitled book holding one topic.
    void startUntitledWithTopic() {
        start(QString());
        t.store.storeTopic({1, QStringLiteral("Draft"), QStringLiteral("draft text"), {}, {}});
        t.m().Doors_refresh();
        t.dialogs.messages.clear();
    }
    QString makeBook(const QString& name, const QList<TestTopic>& topics,
                     std::optional<QString> owner = QStringLiteral("ann")) {
        t.makeBook(t.book(name), topics, owner);
        return t.book(name);
    }
    QString untitled() const { return t.store.untitledBookPath(); }
    QString lastMessage() const {
        return t.dialogs.messages.isEmpty() ? QString() : t.dialogs.messages.last().text;
    }

    testing::TopicsRig t;
    std::unique_ptr<bookwindow::BookFileCommands> commands;
    QString readerCaption;
    int activations = 0;
    int importStops = 0;
};

QList<TestTopic> numbered(const QList<int>& numbers) {
    QList<TestTopic> list;
    for (int n : numbers)
        list.append({n, QStringLiteral("T%1").arg(n), QStringLiteral("text %1").arg(n), {}});
    return list;
}

// Writes NoteText of the first topic numbered `topicNo` straight into a closed book.
void setBookNote(const QString& path, int topicNo, const QString& note) {
    settings::Settings settings;
    settings.BookPath = path;
    testing::ScriptedDialogs quiet;
    QTemporaryDir program;
    store::BookStore store{settings, {program.path(), program.path()}, quiet};
    store.LoadBook();
    database::View* table = store.BookTable();
    QVERIFY(table && table->setIndex(store::schema::NoIdx));
    QVERIFY(table->seek(topicNo));
    QVERIFY(!table->noMatch());
    QVERIFY(table->edit());
    QVERIFY(table->setValue(QStringLiteral("NoteText"), note));
    QVERIFY(table->update());
    store.CloseAndCompactBook();
}

QString bookNote(store::BookStore& store, int topicNo) {
    database::View* table = store.BookTable();
    if (!table || !table->setIndex(store::schema::NoIdx) || !table->seek(topicNo) ||
        table->noMatch())
        return QStringLiteral("<none>");
    return table->value(QStringLiteral("NoteText")).toString();
}

using Command = void (bookwindow::BookFileCommands::*)();

} // namespace

class TestBookFileCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void leavingAsksAtMostTwoQuestions_data();
    void leavingAsksAtMostTwoQuestions();
    void openSwitchesToTheChosenBook();
    void prevTwiceReturnsToTheFirstBookAndPlace();
    void prevWithoutPreviousBookOpensUntitled();
    void newWhileUntitledIsOpenMakesItAgainEmpty();
    void saveAsRefusesWithoutLosingTheOpenBook_data();
    void saveAsRefusesWithoutLosingTheOpenBook();
    void saveAsCopiesTheUntitledBook();
    void mergeAppendsTopicsNumberedOnFromTheHighest();
    void mergeFollowsOwnership_data();
    void mergeFollowsOwnership();
    void mergeRefusals_data();
    void mergeRefusals();
    void mergePastTheHighestNumberIsRefused();
    void handedOverTextIsOnlyAPath_data();
    void handedOverTextIsOnlyAPath();
    void aBookHandedOverDuringAnImportAsksFirst();
};

void TestBookFileCommands::leavingAsksAtMostTwoQuestions_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("dirtyPrompt");
    QTest::addColumn<QString>("untitledPrompt"); // empty: not asked
    QTest::newRow("open") << "open"
                          << "Are you Sure you want to Open?"
                          << "Are you Sure you want to Open?";
    QTest::newRow("new") << "new"
                         << "Are you Sure you want a New File?"
                         << "Are you Sure you want a New File?";
    QTest::newRow("prev") << "prev"
                          << "Are you Sure you want to Switch"
                          << "Are you Sure you want to Switch?";
    QTest::newRow("handed over") << "handover"
                                 << "Are you Sure you want to Open?"
                                 << "Are you Sure you want to Open?";
    QTest::newRow("save as") << "saveas"
                             << "Are you Sure you want to Save?" << QString();
}

// Cancel at the first or the second question leaves everything as it was.
void TestBookFileCommands::leavingAsksAtMostTwoQuestions() {
    QFETCH(QString, command);
    QFETCH(QString, dirtyPrompt);
    QFETCH(QString, untitledPrompt);
    const auto run = [&command](CommandsRig& rig, const QString& other) {
        if (command == QLatin1String("open"))
            rig.commands->openBook();
        else if (command == QLatin1String("new"))
            rig.commands->newBook();
        else if (command == QLatin1String("prev"))
            rig.commands->previousBook();
        else if (command == QLatin1String("handover"))
            rig.commands->openHandedOverBook(other);
        else
            rig.commands->saveBookAs();
    };
    const int questions = untitledPrompt.isEmpty() ? 1 : 2;
    for (int cancelAt = 0; cancelAt < questions; ++cancelAt) {
        CommandsRig rig;
        const QString other = rig.makeBook(QStringLiteral("Other.fmr"), numbered({1}));
        rig.startUntitledWithTopic();
        rig.t.settings.PrevBookPath = other;
        rig.t.state.TopicDirty = true;
        for (int i = 0; i < cancelAt; ++i)
            rig.t.dialogs.answers.enqueue(MessageAnswer::Ok);
        rig.t.dialogs.answers.enqueue(MessageAnswer::Cancel);
        rig.t.dialogs.fileAnswers.enqueue(other);

        run(rig, other);

        const auto& asked = rig.t.dialogs.messages;
        QCOMPARE(asked.size(), cancelAt + 1);
        QCOMPARE(asked.first().text, dirtyPrompt);
        QCOMPARE(asked.first().title, DirtyTitle);
        if (cancelAt == 1) {
            QCOMPARE(asked.at(1).text, untitledPrompt);
            QCOMPARE(asked.at(1).title, UntitledTitle);
        }
        for (const platform::MessageRequest& question : asked) {
            QCOMPARE(question.icon, MessageIcon::Exclamation);
            QCOMPARE(question.buttons, MessageButtons::OkCancel);
        }
        QVERIFY(rig.t.dialogs.fileRequests.isEmpty());
        QCOMPARE(rig.t.settings.BookPath, rig.untitled());
        QCOMPARE(rig.t.settings.PrevBookPath, other);
        QVERIFY(QFileInfo::exists(rig.untitled()));
        QCOMPARE(rig.t.entryNames(), QStringList{QStringLiteral("Draft")});
        QVERIFY(rig.t.state.TopicDirty);
    }
}

void TestBookFileCommands::openSwitchesToTheChosenBook() {
    CommandsRig rig;
    const QString chosen = rig.makeBook(QStringLiteral("Chosen.fmr"), numbered({4, 6}));
    rig.startUntitledWithTopic();
    rig.t.settings.ReadPos = 5;
    const QString startFolder = rig.t.locations.LastFolder;
    rig.t.dialogs.answers.enqueue(MessageAnswer::Ok); // the untitled book's question
    rig.t.dialogs.fileAnswers.enqueue(chosen);

    rig.commands->openBook();

    QCOMPARE(rig.t.dialogs.messages.size(), 1);
    QCOMPARE(rig.t.dialogs.messages.first().title, UntitledTitle);
    const platform::FileDialogRequest& dialog = rig.t.dialogs.fileRequests.first();
    QCOMPARE(dialog.startFolder, startFolder);
    QCOMPARE(dialog.filter, QStringLiteral("Book Files (*.fmr)"));
    QVERIFY(dialog.confirmOverwrite);

    const settings::Settings& s = rig.t.settings;
    QCOMPARE(s.BookPath, chosen);
    QCOMPARE(rig.t.locations.LastFolder, rig.t.books);
    QCOMPARE(s.PrevBookPath, rig.untitled());
    QCOMPARE(s.PrevReadPos, 5);
    QVERIFY(!QFileInfo::exists(rig.untitled())); // replaced, so gone
    QCOMPARE(rig.t.entryNumbers(), (QList<int>{4, 6}));
    QCOMPARE(rig.t.box.text(), QStringLiteral("text 4"));
    QCOMPARE(s.TopicIndex, 0);
    QCOMPARE(s.ReadPos, 0);
    QCOMPARE(rig.t.state.JumpPos, 0);
    QVERIFY(rig.t.state.RequestDone && rig.t.state.JumpPending && rig.t.state.UserMoved);
    QVERIFY(!rig.t.state.Paused);
    QCOMPARE(rig.readerCaption, QStringLiteral("Chosen.fmr"));
    QCOMPARE(rig.activations, 1);
    QVERIFY(rig.t.m().isHidden());
}

void TestBookFileCommands::prevTwiceReturnsToTheFirstBookAndPlace() {
    CommandsRig rig;
    const QString first = rig.makeBook(QStringLiteral("First.fmr"), numbered({1, 2, 3}));
    const QString second = rig.makeBook(QStringLiteral("Second.fmr"), numbered({10, 20}));
    rig.start(first);
    rig.t.m().selectEntry(2);
    rig.t.settings.ReadPos = 4;
    rig.t.dialogs.fileAnswers.enqueue(second);
    rig.commands->openBook();
    rig.t.m().deselectCurrent();
    rig.t.m().selectEntry(1);
    rig.t.settings.ReadPos = 3;

    rig.commands->previousBook();
    QCOMPARE(rig.t.settings.BookPath, first);
    QCOMPARE(rig.t.settings.TopicIndex, 2);
    QCOMPARE(rig.t.settings.ReadPos, 4);
    QCOMPARE(rig.t.state.JumpPos, 4);
    QCOMPARE(rig.t.box.text(), QStringLiteral("text 3"));
    QCOMPARE(rig.t.locations.LastFolder, rig.t.books);

    rig.commands->previousBook();
    QCOMPARE(rig.t.settings.BookPath, second);
    QCOMPARE(rig.t.settings.TopicIndex, 1);
    QCOMPARE(rig.t.settings.ReadPos, 3);
    QCOMPARE(rig.t.box.text(), QStringLiteral("text 20"));
    QCOMPARE(rig.t.settings.PrevBookPath, first);
    QCOMPARE(rig.t.settings.PrevTopicIndex, 2);
    QCOMPARE(rig.t.settings.PrevReadPos, 4);
    QVERIFY(rig.t.dialogs.messages.isEmpty());
}

void TestBookFileCommands::prevWithoutPreviousBookOpensUntitled() {
    CommandsRig rig;
    const QString book = rig.makeBook(QStringLiteral("Book.fmr"), numbered({1}));
    rig.start(book);

    rig.commands->previousBook();

    QCOMPARE(rig.t.settings.BookPath, rig.untitled());
    QVERIFY(QFileInfo::exists(rig.untitled()));
    QCOMPARE(rig.t.m().entryCount(), 0);
    QCOMPARE(rig.t.settings.PrevBookPath, book);
    QVERIFY(QFileInfo::exists(book));
    QCOMPARE(rig.readerCaption, QStringLiteral("untitled.fmr"));
}

void TestBookFileCommands::newWhileUntitledIsOpenMakesItAgainEmpty() {
    CommandsRig rig;
    rig.startUntitledWithTopic();
    QVERIFY(rig.t.store.writeNote(1, QStringLiteral("Draft"), QStringLiteral("old note")));
    rig.t.box.setText(QStringLiteral("draft text"));
    rig.t.state.Paused = true;
    rig.t.dialogs.answers.enqueue(MessageAnswer::Ok);

    rig.commands->newBook();

    QCOMPARE(rig.t.dialogs.messages.size(), 1);
    QCOMPARE(rig.t.dialogs.messages.first().title, UntitledTitle);
    QCOMPARE(rig.t.settings.BookPath, rig.untitled());
    QVERIFY(QFileInfo::exists(rig.untitled()));
    QCOMPARE(rig.t.m().entryCount(), 0);
    QVERIFY(rig.t.store.topicList().isEmpty());
    QCOMPARE(rig.t.settings.PrevBookPath, rig.untitled());
    QCOMPARE(rig.t.box.text(), QString());
    QCOMPARE(rig.t.page.caption, QString());
    QCOMPARE(rig.readerCaption, QStringLiteral("untitled.fmr"));
    QVERIFY(rig.t.state.Paused); // New leaves the reader's flags alone
    QVERIFY(!rig.t.state.JumpPending);
    QVERIFY(!rig.t.store.readNote(1)); // the old untitled book's notes went with it
}

void TestBookFileCommands::saveAsRefusesWithoutLosingTheOpenBook_data() {
    QTest::addColumn<QString>("target"); // relative to the books folder
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("title");
    QTest::newRow("existing file") << "Existing.fmr"
                                   << "Cant Overwrite"
                                   << "Folimar";
    QTest::newRow("the open book") << "Open.fmr"
                                   << "Cant Overwrite"
                                   << "Folimar";
    QTest::newRow("locked folder") << "locked/Copy.fmr"
                                   << "Error"
                                   << "Error";
    QTest::newRow("missing folder") << "missing/Copy.fmr"
                                    << "Error"
                                    << "Error";
}

void TestBookFileCommands::saveAsRefusesWithoutLosingTheOpenBook() {
    QFETCH(QString, target);
    QFETCH(QString, message);
    QFETCH(QString, title);
    CommandsRig rig;
    const QString open = rig.makeBook(QStringLiteral("Open.fmr"), numbered({1, 2}));
    rig.makeBook(QStringLiteral("Existing.fmr"), numbered({9}));
    QDir(rig.t.books).mkdir(QStringLiteral("locked"));
    QFile::setPermissions(rig.t.book(QStringLiteral("locked")),
                          QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const auto unlock = qScopeGuard([&rig] {
        QFile::setPermissions(rig.t.book(QStringLiteral("locked")), QFileDevice::ReadOwner |
                                                                        QFileDevice::WriteOwner |
                                                                        QFileDevice::ExeOwner);
    });
    rig.start(open);
    rig.t.settings.PrevBookPath = QStringLiteral("/before.fmr");
    const QByteArray existingBytes = [&rig] {
        QFile file(rig.t.book(QStringLiteral("Existing.fmr")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    rig.t.dialogs.fileAnswers.enqueue(rig.t.book(target));

    rig.commands->saveBookAs();

    QCOMPARE(rig.t.dialogs.messages.size(), 1);
    const platform::MessageRequest& shown = rig.t.dialogs.messages.first();
    QVERIFY2(shown.text.startsWith(message), qPrintable(shown.text));
    if (message == QLatin1String("Error"))
        QVERIFY(shown.text.contains(QLatin1String(" : ")));
    QCOMPARE(shown.title, title);
    QCOMPARE(shown.icon, MessageIcon::Critical);
    QCOMPARE(rig.t.settings.BookPath, open);
    QCOMPARE(rig.t.settings.PrevBookPath, QStringLiteral("/before.fmr"));
    QVERIFY(rig.t.store.hasBook());
    QCOMPARE(rig.t.entryNumbers(), (QList<int>{1, 2}));
    QCOMPARE(rig.t.store.topicList().size(), 2);
    QFile existing(rig.t.book(QStringLiteral("Existing.fmr")));
    QVERIFY(existing.open(QIODevice::ReadOnly));
    QCOMPARE(existing.readAll(), existingBytes);
    QVERIFY(!QFileInfo::exists(rig.t.book(QStringLiteral("locked/Copy.fmr"))));
}

void TestBookFileCommands::saveAsCopiesTheUntitledBook() {
    CommandsRig rig;
    rig.startUntitledWithTopic();
    QVERIFY(rig.t.store.writeNote(1, QStringLiteral("Draft"), QStringLiteral("draft note")));
    const QString copy = rig.t.book(QStringLiteral("Saved.fmr"));
    rig.t.dialogs.fileAnswers.enqueue(copy.chopped(4)); // a name typed without the extension

    rig.commands->saveBookAs();

    QVERIFY(rig.t.dialogs.messages.isEmpty()); // no question for the untitled book
    const platform::FileDialogRequest& dialog = rig.t.dialogs.fileRequests.first();
    QVERIFY(dialog.fileName.isEmpty());
    QVERIFY(!dialog.confirmOverwrite); // an existing file is refused, never replaced
    QCOMPARE(rig.t.settings.BookPath, copy);
    QVERIFY(!QFileInfo::exists(rig.untitled()));
    QVERIFY(QFileInfo::exists(copy));
    QCOMPARE(rig.t.store.OpenedBookPath, copy);
    QCOMPARE(rig.t.entryNames(), QStringList{QStringLiteral("Draft")});
    QCOMPARE(rig.t.settings.PrevBookPath, rig.untitled());
    QCOMPARE(rig.readerCaption, QStringLiteral("Saved.fmr"));
    QCOMPARE(rig.t.box.text(), QStringLiteral("draft text"));
    QCOMPARE(rig.t.store.readNote(1), std::optional<QString>(QStringLiteral("draft note")));
    QVERIFY(!QFileInfo::exists(rig.t.store.notesPathFor(rig.untitled())));
}

void TestBookFileCommands::mergeAppendsTopicsNumberedOnFromTheHighest() {
    CommandsRig rig;
    const QString book = rig.makeBook(QStringLiteral("Book.fmr"), numbered({3, 7}));
    const QByteArray picture("\xff\xd8 picture of five", 19);
    const QString source =
        rig.makeBook(QStringLiteral("Source.fmr"),
                     {{1, QStringLiteral("One"), QStringLiteral("text one"), {}},
                      {5, QStringLiteral("Five"), QStringLiteral("text five"), picture},
                      {2, QStringLiteral("Two"), QStringLiteral("text two"), {}}});
    setBookNote(source, 2, QStringLiteral("note two"));
    rig.start(book);
    rig.t.dialogs.fileAnswers.enqueue(source);

    rig.commands->mergeBook();

    QCOMPARE(rig.t.dialogs.fileRequests.first().title,
             QStringLiteral("Merge the Topics of a Book"));
    QCOMPARE(rig.t.dialogs.messages.size(), 1);
    QCOMPARE(rig.lastMessage(), QStringLiteral("3 topics merged from Source.fmr."));
    QCOMPARE(rig.t.entryNumbers(), (QList<int>{3, 7, 8, 9, 10}));
    QCOMPARE(rig.t.entryNames().mid(2),
             (QStringList{QStringLiteral("One"), QStringLiteral("Two"), QStringLiteral("Five")}));
    const std::optional<store::TopicPage> ten = rig.t.store.readTopic(10);
    QVERIFY(ten);
    QCOMPARE(ten->PicText, QStringLiteral("text five"));
    QCOMPARE(ten->PicData, picture);
    QCOMPARE(bookNote(rig.t.store, 9), QStringLiteral("note two"));
    QVERIFY(rig.t.store.BookModified);
    QCOMPARE(rig.t.settings.TopicIndex, 4); // the last entry is shown
    QCOMPARE(rig.t.box.text(), QStringLiteral("text five"));
    QVERIFY(!rig.t.store.MergeTable());
    QCOMPARE(rig.t.store.MergePath, source);
    QCOMPARE(rig.t.locations.LastFolder, rig.t.books);
}

void TestBookFileCommands::mergeFollowsOwnership_data() {
    QTest::addColumn<QString>("userName");
    QTest::addColumn<QString>("bookOwner"); // none: the book is empty
    QTest::addColumn<QString>("sourceOwner");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("all the user's") << "ann"
                                    << "ann"
                                    << "ann" << true;
    QTest::newRow("no owners, no user") << ""
                                        << ""
                                        << "" << true;
    QTest::newRow("source of another user") << "ann"
                                            << "ann"
                                            << "bob" << false;
    QTest::newRow("book of another user") << "ann"
                                          << "bob"
                                          << "bob" << false;
    QTest::newRow("empty book of the user") << "ann" << QString() << "ann" << true;
    QTest::newRow("empty book, another's source") << "ann" << QString() << "bob" << false;
}

void TestBookFileCommands::mergeFollowsOwnership() {
    QFETCH(QString, userName);
    QFETCH(QString, bookOwner);
    QFETCH(QString, sourceOwner);
    QFETCH(bool, allowed);
    CommandsRig rig;
    rig.t.settings.UserName = userName;
    const QString source =
        rig.makeBook(QStringLiteral("Source.fmr"), numbered({4, 6}), sourceOwner);
    const bool emptyBook = bookOwner.isNull();
    rig.start(emptyBook ? QString()
                        : rig.makeBook(QStringLiteral("Book.fmr"), numbered({1}), bookOwner));
    rig.t.dialogs.fileAnswers.enqueue(source);

    rig.commands->mergeBook();

    const QList<int> before = emptyBook ? QList<int>{} : QList<int>{1};
    const QList<int> merged = emptyBook ? QList<int>{1, 2} : QList<int>{1, 2, 3};
    QCOMPARE(rig.t.entryNumbers(), allowed ? merged : before);
    QCOMPARE(rig.lastMessage() == QLatin1String("Can't Merge another user's document"), !allowed);
    QVERIFY(!rig.t.store.MergeTable());
}

void TestBookFileCommands::mergeRefusals_data() {
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("dialogShown");
    QTest::newRow("unsaved page") << "dirty"
                                  << "1st update your topic" << false;
    QTest::newRow("read-only book") << "readonly"
                                    << "File opened as ReadOnly" << false;
    QTest::newRow("import running")
        << "importing"
        << "Can't Merge while pages are being imported into this book" << false;
    QTest::newRow("itself") << "itself"
                            << "Can't Merge a file with itself" << true;
}

void TestBookFileCommands::mergeRefusals() {
    QFETCH(QString, situation);
    QFETCH(QString, message);
    QFETCH(bool, dialogShown);
    CommandsRig rig;
    const QString book = rig.makeBook(QStringLiteral("Book.fmr"), numbered({1, 2}));
    rig.start(book);
    rig.t.state.TopicDirty = situation == QLatin1String("dirty");
    rig.t.store.ReadOnlyMode = situation == QLatin1String("readonly");
    if (situation == QLatin1String("importing"))
        rig.t.store.ImportingInto = rig.t.store.OpenedBookPath;
    rig.t.dialogs.fileAnswers.enqueue(QDir(rig.t.books).filePath(QStringLiteral("./Book.fmr")));

    rig.commands->mergeBook();

    QCOMPARE(rig.t.dialogs.messages.size(), 1);
    QCOMPARE(rig.lastMessage(), message);
    QCOMPARE(rig.t.dialogs.messages.first().icon, MessageIcon::Exclamation);
    QCOMPARE(rig.t.dialogs.fileRequests.size(), dialogShown ? 1 : 0);
    QCOMPARE(rig.t.store.topicList().size(), 2);
    QCOMPARE(rig.t.entryNumbers(), (QList<int>{1, 2}));
}

void TestBookFileCommands::mergePastTheHighestNumberIsRefused() {
    CommandsRig rig;
    const QString book = rig.makeBook(QStringLiteral("Book.fmr"), numbered({32766}));
    const QString source = rig.makeBook(QStringLiteral("Source.fmr"), numbered({1, 2}));
    rig.start(book);
    rig.t.dialogs.fileAnswers.enqueue(source);

    rig.commands->mergeBook();

    QVERIFY2(rig.lastMessage().contains(QLatin1String("32767")), qPrintable(rig.lastMessage()));
    QCOMPARE(rig.t.store.topicList().size(), 1);
    QVERIFY(!rig.t.store.BookModified);
    QVERIFY(!rig.t.store.MergeTable());
}

void TestBookFileCommands::handedOverTextIsOnlyAPath_data() {
    QTest::addColumn<QString>("name"); // in the books folder
    QTest::addColumn<bool>("opensIt");
    QTest::addColumn<bool>("staysWithAWord"); // on the book shown, saying there is no such file
    QTest::newRow("a book") << "Handed.fmr" << true << false;
    QTest::newRow("no such file") << "Gone.fmr" << false << true;
    QTest::newRow("command-like text") << "x.fmr\"; rm -rf ~; echo \"" << false << true;
    QTest::newRow("a folder") << "folder.fmr" << false << false;
}

void TestBookFileCommands::handedOverTextIsOnlyAPath() {
    QFETCH(QString, name);
    QFETCH(bool, opensIt);
    QFETCH(bool, staysWithAWord);
    CommandsRig rig;
    rig.makeBook(QStringLiteral("Handed.fmr"), numbered({2}));
    QDir(rig.t.books).mkdir(QStringLiteral("folder.fmr"));
    const QString current = rig.makeBook(QStringLiteral("Current.fmr"), numbered({1}));
    rig.start(current);
    rig.t.settings.TopicIndex = 0;
    rig.t.settings.ReadPos = 6;
    rig.t.state.Paused = false;

    rig.commands->openHandedOverBook(rig.t.book(name));

    if (staysWithAWord) {
        QCOMPARE(rig.t.settings.BookPath, current);
        QCOMPARE(rig.t.entryNumbers(), QList<int>{1});
        QCOMPARE(rig.t.settings.ReadPos, 6);
        QCOMPARE(rig.activations, 0);
        QCOMPARE(rig.lastMessage(),
                 rig.t.book(name) + QStringLiteral(" cannot be opened as a book: there is no "
                                                   "such file."));
        return;
    }
    QCOMPARE(rig.t.settings.BookPath, opensIt ? rig.t.book(name) : rig.untitled());
    QCOMPARE(rig.t.entryNumbers(), opensIt ? QList<int>{2} : QList<int>{});
    QCOMPARE(rig.t.settings.PrevBookPath, current);
    QCOMPARE(rig.t.settings.PrevReadPos, 6);
    QCOMPARE(rig.t.locations.LastFolder, rig.t.books);
    QCOMPARE(rig.activations, 1);
    QVERIFY(QFileInfo::exists(current));
    QVERIFY(QFileInfo(rig.t.book(QStringLiteral("folder.fmr"))).isDir());
}

// Cancel keeps the import and the book; OK stops the import, then the book opens.
void TestBookFileCommands::aBookHandedOverDuringAnImportAsksFirst() {
    for (const MessageAnswer answer : {MessageAnswer::Cancel, MessageAnswer::Ok}) {
        CommandsRig rig;
        const QString handed = rig.makeBook(QStringLiteral("Handed.fmr"), numbered({2}));
        const QString current = rig.makeBook(QStringLiteral("Current.fmr"), numbered({1}));
        rig.start(current);
        rig.t.store.ImportingInto = rig.t.store.OpenedBookPath;
        rig.t.dialogs.answers.enqueue(answer);

        rig.commands->openHandedOverBook(handed);

        QCOMPARE(rig.t.dialogs.messages.size(), 1);
        QCOMPARE(rig.t.dialogs.messages.first().text,
                 QStringLiteral("Pages are being imported into this book. Stop the import, "
                                "keeping the pages imported so far, and open Handed.fmr?"));
        const bool stopped = answer == MessageAnswer::Ok;
        QCOMPARE(rig.importStops, stopped ? 1 : 0);
        QCOMPARE(rig.t.settings.BookPath, stopped ? handed : current);
        QCOMPARE(rig.t.entryNumbers(), QList<int>{stopped ? 2 : 1});
    }
}

QTEST_MAIN(TestBookFileCommands)
#include "tst_bookfilecommands.moc"
