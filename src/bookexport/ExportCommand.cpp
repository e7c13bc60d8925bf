#include "bookexport/ExportCommand.h"

#include "bookexport/BookExportJob.h"
#include "bookexport/BookFormat.h"
#include "bookexport/ExportedBook.h"
#include "platform/commandline/CommandLineAnswer.h"
#include "platform/dialogs/TerminalDialogs.h"
#include "platform/paths/ProgramLocations.h"
#include "platform/registry/RegistryStore.h"
#include "recognition/RecognitionSettings.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "speechexport/CommandExport.h"
#include "store/BookStore.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>

namespace folimar::bookexport {

namespace {

constexpr int Failed = 1;
constexpr char Form[] =
    "--export BOOK.fmr OUT.pdf|OUT.epub [--topics FIRST-LAST] [--pictures] [--verbose]";

// The book's topics to save, or none after saying why on `err`; `choices` receives the
// user's reading choices.
std::optional<ExportedBook> readBook(const ExportCommand& command, const QString& registryStorePath,
                                     QTextStream& err, ReadAlongChoices* choices) {
    settings::Settings settings;
    platform::ProgramLocations locations = platform::LocateProgram(registryStorePath);
    settings::LoadSettings(settings, locations);
    *choices = readAlongChoices(settings, recognition::RecognitionSettings::defaultPath());
    choices->pictures = command.pictures;
    // The store keeps a notes file beside each book it opens: here one that goes away.
    const QTemporaryDir scratch;
    err << Qt::flush;
    platform::TerminalDialogs dialogs;
    settings.BookPath = QFileInfo(command.input).absoluteFilePath();
    store::BookStore store(settings, {scratch.path(), scratch.path()}, dialogs);
    store.OpenedBookPath = settings.BookPath; // the export takes its title from it
    store.OpenBook();
    if (!store.hasBook()) {
        err << "\"" << command.input << "\" is not a Folimar book, or has another password.\n";
        return std::nullopt;
    }
    ExportedBook book = exportedBookTexts(store, command.topics);
    if (!book.topics.isEmpty())
        return book;
    if (command.topics)
        err << "\"" << command.input << "\" has no topics numbered " << command.topics->first
            << " to " << command.topics->last << ".\n";
    else
        err << "\"" << command.input << "\" has no topics.\n";
    return std::nullopt;
}

} // namespace

ExportCommandParse ParseExportCommand(const QStringList& arguments) {
    ExportCommandParse parsed;
    if (arguments.value(0) != QLatin1String("--export"))
        return parsed;
    QStringList operands;
    ExportCommand command;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& word = arguments.at(i);
        if (word == QLatin1String("--topics")) {
            command.topics = speechexport::ParseTopicRange(arguments.value(++i));
            if (!command.topics) {
                parsed.error =
                    QStringLiteral("--topics wants topic numbers FIRST-LAST, such as 3-17");
                return parsed;
            }
        } else if (word == QLatin1String("--pictures")) {
            command.pictures = true;
        } else if (word == QLatin1String("--verbose")) {
            command.verbose = true;
        } else if (word.startsWith(QLatin1Char('-')) && word.size() > 1) {
            parsed.error = QStringLiteral("unknown option '%1' for --export").arg(word);
            return parsed;
        } else {
            operands << word;
        }
    }
    if (operands.size() != 2) {
        parsed.error = QStringLiteral("--export is written %1").arg(QLatin1String(Form));
        return parsed;
    }
    command.input = operands.at(0);
    command.output = operands.at(1);
    if (!bookFormatOf(command.output)) {
        parsed.error = QStringLiteral("'%1' is not a name to export to: end it in %2")
                           .arg(command.output, bookFormatEndings());
        return parsed;
    }
    parsed.command = command;
    return parsed;
}

int RunExportCommand(const ExportCommand& command, const QString& registryStorePath,
                     QTextStream& out, QTextStream& err) {
    if (!speechexport::checkCommandFiles(command.input, command.output, err))
        return Failed;
    ReadAlongChoices choices;
    std::optional<ExportedBook> book = readBook(command, registryStorePath, err, &choices);
    if (!book) {
        err << Qt::flush;
        return Failed;
    }
    const qsizetype topicCount = book->topics.size();
    const QList<ExportedTopic> topics = command.verbose ? book->topics : QList<ExportedTopic>();

    int told = 0; // topics told so far
    BookExportJob job;
    if (command.verbose)
        QObject::connect(&job, &BookExportJob::progressed, &job, [&](int, int topicsDone) {
            for (; told < topicsDone && told < topics.size(); ++told)
                out << "Topic " << topics[told].number << ", " << topics[told].name << '\n'
                    << Qt::flush;
        });
    return speechexport::runCommandExport(
        job, exportWork(*bookFormatOf(command.output), std::move(*book), command.output, choices),
        command.output, out, err, [&](const auto&) {
            return topicCount == 1 ? QStringLiteral("1 topic")
                                   : QStringLiteral("%1 topics").arg(topicCount);
        });
}

std::optional<int> AnswerExportCommand(int& argc, char* argv[], const QStringList& arguments,
                                       const platform::ProgramUsage& usage, QTextStream& out,
                                       QTextStream& err) {
    const ExportCommandParse parsed = ParseExportCommand(arguments);
    if (!parsed.error.isEmpty()) {
        platform::ParsedCommandLine wrong;
        wrong.action = platform::CommandAction::Error;
        wrong.error = parsed.error;
        return platform::AnswerCommandLine(wrong, usage, out, err);
    }
    if (!parsed.command)
        return std::nullopt;
    QCoreApplication application(argc, argv);
    return RunExportCommand(*parsed.command, platform::RegistryStorePath(), out, err);
}

} // namespace folimar::bookexport
