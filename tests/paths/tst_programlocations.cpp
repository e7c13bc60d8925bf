#include "platform/paths/InstalledFiles.h"
#include "platform/paths/ProgramLocations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

using namespace folimar::platform;

namespace {

bool writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray storeNaming(const QByteArray& appPath) {
    return "Windows Registry Editor Version 5.00\r\n\r\n"
           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App "
           "Paths\\Folimar.exe]\r\n@=\"" +
           appPath + "\"\r\n";
}

} // namespace

class TestProgramLocations : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void programFolderIsNeverTheRoot_data() {
        QTest::addColumn<QString>("appPath");
        QTest::addColumn<QString>("folder");
        QTest::newRow("executable in its folder") << "/opt/folimar/Folimar.exe"
                                                  << "/opt/folimar";
        QTest::newRow("untidy path") << "/opt//folimar/./Folimar.exe"
                                     << "/opt/folimar";
        QTest::newRow("at the root") << "/Folimar.exe"
                                     << "";
        QTest::newRow("double slash at the root") << "//Folimar.exe"
                                                  << "";
        QTest::newRow("relative") << "folimar/Folimar.exe"
                                  << "";
        QTest::newRow("windows path") << "C:\\Program Files\\Folimar\\Folimar.exe"
                                      << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void programFolderIsNeverTheRoot() {
        QFETCH(QString, appPath);
        QFETCH(QString, folder);
        QCOMPARE(FolderOfAppPath(appPath), folder);
    }

    void locatesFromTheStoreOrFallsBackToTheDataFolder() {
        QTemporaryDir dir;
        const bool hadDataHome = qEnvironmentVariableIsSet("XDG_DATA_HOME");
        const QByteArray oldDataHome = qgetenv("XDG_DATA_HOME");
        const auto restore = qScopeGuard([&] {
            if (hadDataHome)
                qputenv("XDG_DATA_HOME", oldDataHome);
            else
                qunsetenv("XDG_DATA_HOME");
        });
        qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toUtf8());
        const QString store = dir.filePath(QStringLiteral("registry.reg"));
        const QString dataFolder = dir.filePath(QStringLiteral("data/folimar"));

        QVERIFY(writeFile(store, storeNaming("/opt/folimar/Folimar.exe")));
        ProgramLocations found = LocateProgram(store);
        QCOMPARE(found.ProgramFolder, QStringLiteral("/opt/folimar"));
        QCOMPARE(found.NotesFolder, QStringLiteral("/opt/folimar/notes"));
        QCOMPARE(found.untitledBookPath(), QStringLiteral("/opt/folimar/untitled.fmr"));
        QCOMPARE(found.TempFolder, QDir::tempPath());
        QCOMPARE(found.LastFolder, QDir::currentPath());
        QVERIFY(!QFileInfo::exists(dataFolder));

        // A value at the root, or no store at all: the per-user data folder, made at once.
        QVERIFY(writeFile(store, storeNaming("/Folimar.exe")));
        found = LocateProgram(store);
        QCOMPARE(found.ProgramFolder, dataFolder);
        QVERIFY(QFileInfo(dataFolder).isDir());
        QCOMPARE(LocateProgram(dir.filePath(QStringLiteral("none.reg"))).ProgramFolder, dataFolder);

        QVERIFY(MakeProgramFolders(found));
        QVERIFY(QFileInfo(dataFolder + QStringLiteral("/notes")).isDir());
    }

    void findsInstalledFilesBesideTheProgramFirst() {
        QTemporaryDir prefix;
        QVERIFY(QDir(prefix.path()).mkpath(QStringLiteral("bin")));
        QVERIFY(QDir(prefix.path()).mkpath(QStringLiteral("share/folimar/characters")));
        QVERIFY(QDir(prefix.path()).mkpath(QStringLiteral("libexec/folimar")));
        QVERIFY(writeFile(prefix.filePath(QStringLiteral("share/folimar/help.dat")), "help"));
        QVERIFY(writeFile(prefix.filePath(QStringLiteral("libexec/folimar/bmp2jpg")), "x"));
        const InstalledFiles files(prefix.filePath(QStringLiteral("bin")));

        QCOMPARE(files.dataFile(QStringLiteral("help.dat")),
                 prefix.filePath(QStringLiteral("share/folimar/help.dat")));
        QCOMPARE(files.dataFile(QStringLiteral("characters")),
                 prefix.filePath(QStringLiteral("share/folimar/characters")));
        QCOMPARE(files.program(QStringLiteral("bmp2jpg")),
                 prefix.filePath(QStringLiteral("libexec/folimar/bmp2jpg")));
        // Programs are not looked for among the data, nor data among the programs.
        QCOMPARE(files.program(QStringLiteral("help.dat")), QString());
        QCOMPARE(files.dataFile(QStringLiteral("bmp2jpg")), QString());

        // The build tree: what sits beside the executable wins.
        QVERIFY(writeFile(prefix.filePath(QStringLiteral("bin/help.dat")), "built"));
        QCOMPARE(files.dataFile(QStringLiteral("help.dat")),
                 prefix.filePath(QStringLiteral("bin/help.dat")));
    }
};

QTEST_GUILESS_MAIN(TestProgramLocations)
#include "tst_programlocations.moc"
