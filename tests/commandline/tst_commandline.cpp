#include "app/FolimarUsage.h"
#include "platform/commandline/ApplicationArgv.h"
#include "platform/commandline/CommandLineAnswer.h"
#include "platform/commandline/UsageText.h"
#include "tray/VocimarUsage.h"

#include <QTest>

using namespace folimar::platform;

Q_DECLARE_METATYPE(folimar::platform::CommandAction)

class TestCommandLine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsOptionsInFrontOfThePath_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("takesOperands");
        QTest::addColumn<CommandAction>("action");
        QTest::addColumn<QStringList>("qtArguments");
        QTest::addColumn<QStringList>("operands");
        using L = QStringList;
        const auto run = CommandAction::Run;
        const auto error = CommandAction::Error;
        QTest::newRow("nothing") << L{} << true << run << L{} << L{};
        QTest::newRow("a book") << L{"/b/a.fmr"} << true << run << L{} << L{"/b/a.fmr"};
        QTest::newRow("path with spaces keeps its words")
            << L{"/my", "book", "-2.fmr"} << true << run << L{} << L{"/my", "book", "-2.fmr"};
        QTest::newRow("options end at the path")
            << L{"a.fmr", "--help"} << true << run << L{} << L{"a.fmr", "--help"};
        QTest::newRow("--help") << L{"--help", "a.fmr"} << true << CommandAction::Help << L{}
                                << L{};
        QTest::newRow("-h") << L{"-h"} << false << CommandAction::Help << L{} << L{};
        QTest::newRow("--version")
            << L{"--version"} << true << CommandAction::Version << L{} << L{};
        QTest::newRow("-V") << L{"-V"} << false << CommandAction::Version << L{} << L{};
        QTest::newRow("manual page")
            << L{"--manual-page"} << true << CommandAction::ManualPage << L{} << L{};
        QTest::newRow("-- before a dashed name")
            << L{"--", "-odd.fmr"} << true << run << L{} << L{"-odd.fmr"};
        QTest::newRow("-- before --help") << L{"--", "--help"} << true << run << L{} << L{"--help"};
        QTest::newRow("lone dash is a name") << L{"-"} << true << run << L{} << L{"-"};
        QTest::newRow("unknown long option") << L{"--frobnicate"} << true << error << L{} << L{};
        QTest::newRow("unknown short option") << L{"-x", "a.fmr"} << true << error << L{} << L{};
        QTest::newRow("dashed name without --") << L{"-odd.fmr"} << true << error << L{} << L{};
        QTest::newRow("Qt option with its value")
            << L{"-style", "fusion", "a.fmr"} << true << run << L{"-style", "fusion"} << L{"a.fmr"};
        QTest::newRow("Qt options, two dashes and =")
            << L{"--platform=offscreen", "-session", "1a2b", "-reverse"} << false << run
            << L{"--platform=offscreen", "-session", "1a2b", "-reverse"} << L{};
        QTest::newRow("Qt option without its value") << L{"-style"} << true << error << L{} << L{};
        QTest::newRow("no path for a program that takes none")
            << L{"a.txt"} << false << error << L{} << L{};
        QTest::newRow("-- alone for a program that takes none")
            << L{"--"} << false << run << L{} << L{};
        const auto import = CommandAction::Import;
        QTest::newRow("import files into the book")
            << L{"-style", "fusion", "--import", "a.pdf", "b c.png", "--into", "x.fmr"} << true
            << import << L{"-style", "fusion"} << L{"a.pdf", "b c.png"};
        QTest::newRow("import without --into")
            << L{"--import", "scans"} << true << import << L{} << L{"scans"};
        QTest::newRow("import of nothing")
            << L{"--import", "--into", "x.fmr"} << true << error << L{} << L{};
        QTest::newRow("--into without a book")
            << L{"--import", "a.pdf", "--into"} << true << error << L{} << L{};
        QTest::newRow("two books") << L{"--import", "a.pdf", "--into", "x.fmr", "--into", "y.fmr"}
                                   << true << error << L{} << L{};
        QTest::newRow("import for a program that takes no files")
            << L{"--import", "a.pdf"} << false << error << L{} << L{};
    }
    void readsOptionsInFrontOfThePath() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, takesOperands);
        QFETCH(CommandAction, action);
        QFETCH(QStringList, qtArguments);
        QFETCH(QStringList, operands);
        const ParsedCommandLine line = ParseCommandLine(arguments, takesOperands);
        QCOMPARE(line.action, action);
        QCOMPARE(line.error.isEmpty(), action != CommandAction::Error);
        if (action != CommandAction::Error) {
            QCOMPARE(line.qtArguments, qtArguments);
            QCOMPARE(line.operands, operands);
        }
        QCOMPARE(line.importInto,
                 QString(arguments.contains("--into") && action != CommandAction::Error
                             ? arguments.last()
                             : QString()));
    }

    void answersOnTheTerminalOrLetsTheProgramRun() {
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        const ProgramUsage usage = folimar::app::FolimarUsage();

        QCOMPARE(AnswerCommandLine(ParseCommandLine({"a.fmr"}, true), usage, outStream, errStream),
                 std::nullopt);
        QVERIFY(out.isEmpty() && err.isEmpty());

        QCOMPARE(
            AnswerCommandLine(ParseCommandLine({"--bogus"}, true), usage, outStream, errStream), 2);
        QVERIFY(out.isEmpty());
        QCOMPARE(err, "folimar: unknown option '--bogus'\n"
                      "Try 'folimar --help' for more information.\n");

        err.clear();
        QCOMPARE(AnswerCommandLine(ParseCommandLine({"-V"}, true), usage, outStream, errStream), 0);
        QCOMPARE(out, "folimar " + ProjectVersion() + "\n");
        QVERIFY(err.isEmpty());
        QVERIFY(QRegularExpression(R"(^\d+\.\d+)").match(ProjectVersion()).hasMatch());
    }

    void helpAndManualPageTellTheSame_data() {
        QTest::addColumn<ProgramUsage>("usage");
        QTest::newRow("folimar") << folimar::app::FolimarUsage();
        QTest::newRow("vocimar") << folimar::tray::VocimarUsage();
    }
    void helpAndManualPageTellTheSame() {
        QFETCH(ProgramUsage, usage);
        const QString help = HelpText(usage);
        const QString page = ManualPage(usage);
        QVERIFY(help.startsWith("Usage: " + usage.program + " [OPTION]..."));
        for (const QString& line : help.split('\n'))
            QVERIFY2(line.size() <= 79, qPrintable(line));
        QVERIFY(page.startsWith(".TH " + usage.program.toUpper() + " 1 "));
        const auto escaped = [](QString text) { return text.replace('-', "\\-"); };
        for (const auto& list : {usage.files, usage.environment}) {
            QVERIFY(!list.isEmpty());
            for (const UsageItem& item : list) {
                QVERIFY2(help.contains(item.name), qPrintable(item.name));
                QVERIFY2(page.contains(escaped(item.name)), qPrintable(item.name));
                QVERIFY2(help.simplified().contains(item.text), qPrintable(item.text));
            }
        }
        for (const char* option : {"--help", "--version"}) {
            QVERIFY(help.contains(option));
            QVERIFY(page.contains(escaped(option)));
        }
        QCOMPARE(help.contains("\n  --  "), !usage.operands.isEmpty());
        for (const char* section :
             {"NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "FILES", "ENVIRONMENT"})
            QVERIFY(page.contains(QStringLiteral("\n.SH %1\n").arg(section)));
        // Only the page's own requests start a line with a dot or a quote.
        for (const QString& line : page.split('\n', Qt::SkipEmptyParts))
            if (line.startsWith('.') || line.startsWith('\''))
                QVERIFY2(QRegularExpression(R"(^\.(TH|SH|PP|TP|B) ?)").match(line).hasMatch(),
                         qPrintable(line));
    }

    void manualPageEscapesRoff() {
        ProgramUsage usage{"prog",
                           "Prog",
                           "a-b",
                           "",
                           {".dot first", "'quote first", "back\\slash"},
                           {{"file-name", "x"}},
                           {}};
        const QString page = ManualPage(usage);
        QVERIFY(page.contains("\nprog \\- a\\-b\n"));
        QVERIFY(page.contains("\n\\&.dot first\n"));
        QVERIFY(page.contains("\n\\&'quote first\n"));
        QVERIFY(page.contains("\nback\\eslash\n"));
        QVERIFY(page.contains("\n\\fIfile\\-name\\fR\n"));
    }

    void applicationGetsTheProgramNameAndQtOptionsOnly() {
        ApplicationArgv argv("folimar", {"-style", "fusion"});
        QCOMPARE(argv.argc(), 3);
        QCOMPARE(argv.argv()[0], "folimar");
        QCOMPARE(argv.argv()[2], "fusion");
        QCOMPARE(argv.argv()[3], nullptr);
        const char* words[] = {"folimar", "--", "/b/\xc3\xa4.fmr"};
        QCOMPARE(ArgumentsOf(3, words), (QStringList{"--", "/b/ä.fmr"}));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
