#include "platform/link/InstanceLinkAddress.h"
#include "platform/paths/ProgramLocations.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "store/BookStore.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace folimar;

namespace {

// One run of the built program, with what it logged so far.
class Instance {
public:
    Instance(const QProcessEnvironment& environment, const QStringList& arguments) {
        process_.setProcessEnvironment(environment);
        process_.start(QStringLiteral(FOLIMAR_BIN_DIR "/folimar"), arguments);
    }
    ~Instance() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(10000);
        }
    }
    bool logged(const QString& text) {
        log_ += process_.readAllStandardError();
        return log_.contains(text.toUtf8());
    }
    // Ends the run as a logout does (the program saves its settings); true when it
    // then ended by itself with exit code 0.
    bool endNormally() {
        process_.terminate();
        return finishedNormally();
    }
    bool finishedNormally() {
        return process_.waitForFinished(30000) && process_.exitStatus() == QProcess::NormalExit &&
               process_.exitCode() == 0;
    }
    bool running() const { return process_.state() == QProcess::Running; }
    QByteArray log() const { return log_; }

private:
    QProcess process_;
    QByteArray log_;
};

const QString Listening = QStringLiteral("taking handed-over books");
const QString WithoutLink = QStringLiteral("running without the instance link");
const QString Opening = QStringLiteral("handed-over book done: ");

// A user of their own: runtime, configuration and data folders in a temporary folder, the
// program set not to read at start-up, and one book to hand over. With a user name, a
// book without an owner gets one at its opening, with a message that waits for an answer.
struct UserHome {
    explicit UserHome(const QString& userName = {}) {
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner);
        QDir().mkpath(locations.NotesFolder);
        settings::Settings quiet;
        quiet.PlayAtStartup = 1;
        quiet.UserName = userName;
        settings::SaveSettings(quiet, locations);
        makeBook();
    }

    void makeBook() {
        QTemporaryDir scratch;
        settings::Settings makerSettings;
        testing::ScriptedDialogs dialogs;
        store::BookStore maker{makerSettings, {scratch.path(), scratch.path()}, dialogs};
        maker.LoadBook();
        maker.storeTopic({1, QStringLiteral("Harbour"), QStringLiteral("Boats."), {}, {}});
        maker.CloseAndCompactBook();
        QFile::rename(maker.untitledBookPath(), book);
    }

    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), root.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), root.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("folimar.app.info=true"));
        return env;
    }
    std::unique_ptr<Instance> start(const QStringList& arguments = {}) const {
        return std::make_unique<Instance>(environment(), arguments);
    }
    // The working folders of the programs running now.
    QStringList workFolders() const {
        return QDir(runtime).entryList({QStringLiteral("folimar-*")},
                                       QDir::Dirs | QDir::NoDotAndDotDot);
    }
    QString savedBookPath() {
        settings::Settings saved;
        settings::LoadSettings(saved, locations);
        return saved.BookPath;
    }

    QTemporaryDir root;
    QString runtime = root.filePath(QStringLiteral("run"));
    QString book = root.filePath(QStringLiteral("Handed.fmr"));
    platform::ProgramLocations locations{
        root.filePath(QStringLiteral("data/folimar")), root.filePath(QStringLiteral("tmp")),
        root.filePath(QStringLiteral("data/folimar/notes")), root.path(), QString()};
};

} // namespace

class TestInstanceHandOver : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void laterStartHandsItsBookOverAndEnds();
    void laterStartWithoutBookIsAFullInstance();
    void eachProgramKeepsItsOwnWorkingFiles();
    void startUpMessageTakesHandOversAndEndsOnRequest();
    void aSpeechServiceThatNeverAnswersCostsOnlyTheVoice();
};

void TestInstanceHandOver::laterStartHandsItsBookOverAndEnds() {
    UserHome home;
    const auto first = home.start();
    QTRY_VERIFY2_WITH_TIMEOUT(first->logged(Listening), first->log().constData(), 60000);

    const auto second = home.start({home.book});
    QVERIFY(second->finishedNormally());
    QVERIFY(!second->logged(Listening));
    QVERIFY(!second->logged(WithoutLink));

    QTRY_VERIFY2_WITH_TIMEOUT(first->logged(Opening + home.book), first->log().constData(), 30000);
    QVERIFY(first->endNormally());
    QCOMPARE(home.savedBookPath(), home.book);
}

// It leaves the first instance's link alone: a third start still reaches the first.
void TestInstanceHandOver::laterStartWithoutBookIsAFullInstance() {
    UserHome home;
    const auto first = home.start();
    QTRY_VERIFY2_WITH_TIMEOUT(first->logged(Listening), first->log().constData(), 60000);

    const auto second = home.start();
    QTRY_VERIFY2_WITH_TIMEOUT(second->logged(WithoutLink), second->log().constData(), 60000);

    const auto third = home.start({home.book});
    QVERIFY(third->finishedNormally());
    QTRY_VERIFY2_WITH_TIMEOUT(first->logged(Opening + home.book), first->log().constData(), 30000);
    QVERIFY(!second->logged(Opening));
    QVERIFY(second->running());
    QVERIFY(second->endNormally());
    QVERIFY(first->endNormally());
    QCOMPARE(home.savedBookPath(), home.book); // the first one saved last
}

// A later start hands over before it touches any file, and two programs never share the
// page picture's working files; each removes its own at its end.
void TestInstanceHandOver::eachProgramKeepsItsOwnWorkingFiles() {
    UserHome home;
    const auto first = home.start();
    QTRY_VERIFY2_WITH_TIMEOUT(first->logged(Listening), first->log().constData(), 60000);
    QCOMPARE(home.workFolders().size(), 1);
    const QString firstPicture =
        home.runtime + QLatin1Char('/') + home.workFolders().first() + QStringLiteral("/temp.jpg");
    const QString programPicture = home.locations.ProgramFolder + QStringLiteral("/temp.jpg");
    const auto writePicture = [](const QString& picture) {
        QFile file(picture);
        return file.open(QIODevice::WriteOnly) && file.write("the shown page") > 0;
    };
    QVERIFY(writePicture(programPicture));

    const auto handing = home.start({home.book});
    QVERIFY(handing->finishedNormally());
    QVERIFY(QFile::exists(programPicture));
    QTRY_VERIFY2_WITH_TIMEOUT(first->logged(Opening + home.book), first->log().constData(), 30000);
    QVERIFY(writePicture(firstPicture));

    const auto second = home.start();
    QTRY_VERIFY2_WITH_TIMEOUT(second->logged(WithoutLink), second->log().constData(), 60000);
    QCOMPARE(home.workFolders().size(), 2);
    QVERIFY(QFile::exists(firstPicture));
    QVERIFY(second->endNormally());
    QVERIFY(first->endNormally());
    QVERIFY(home.workFolders().isEmpty());
}

// While a start-up message waits for an answer, the program already takes the books later
// starts hand over, and a request to quit ends it (the box goes with it).
void TestInstanceHandOver::startUpMessageTakesHandOversAndEndsOnRequest() {
    UserHome home(QStringLiteral("reader"));
    const auto first = home.start({home.book});
    QTRY_VERIFY2_WITH_TIMEOUT(first->logged(Listening), first->log().constData(), 60000);

    const auto second = home.start({home.book});
    QVERIFY(second->finishedNormally());
    QVERIFY(!second->logged(Listening));
    QVERIFY(!second->logged(WithoutLink));

    QVERIFY(first->running());
    QVERIFY2(first->endNormally(), first->log().constData());
}

// No sound server, so the speech service is tried; it takes the connection and never says a
// word. The program starts all the same, reads silently, and ends when asked.
void TestInstanceHandOver::aSpeechServiceThatNeverAnswersCostsOnlyTheVoice() {
    UserHome home;
    settings::Settings reading;
    reading.PlayAtStartup = 0; // reads at once, so the voice is wanted at start-up
    settings::SaveSettings(reading, home.locations);
    QLocalServer mute;
    const QString socket = home.root.filePath(QStringLiteral("speechd.sock"));
    QVERIFY(mute.listen(socket)); // connections wait in its queue, never answered
    QProcessEnvironment environment = home.environment();
    environment.insert(QStringLiteral("PULSE_SERVER"),
                       QStringLiteral("unix:") + home.root.filePath(QStringLiteral("no-server")));
    environment.insert(QStringLiteral("SPEECHD_ADDRESS"), QStringLiteral("unix_socket:") + socket);
    Instance program(environment, {home.book});
    QTRY_VERIFY2_WITH_TIMEOUT(program.logged(QStringLiteral("No voice could be started")),
                              program.log().constData(), 60000);
    QTRY_VERIFY2_WITH_TIMEOUT(program.logged(Listening), program.log().constData(), 60000);
    QVERIFY2(program.logged(QStringLiteral("the speech service did not answer")),
             program.log().constData());
    QVERIFY2(program.endNormally(), program.log().constData());
}

QTEST_GUILESS_MAIN(TestInstanceHandOver)
#include "tst_instancehandover.moc"
