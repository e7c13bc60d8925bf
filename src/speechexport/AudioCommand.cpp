#include "speechexport/AudioCommand.h"

#include "platform/character/VoiceSettings.h"
#include "platform/commandline/CommandLineAnswer.h"
#include "platform/dialogs/TerminalDialogs.h"
#include "platform/paths/ProgramLocations.h"
#include "platform/registry/RegistryStore.h"
#include "settings/SettingsFile.h"
#include "settings/VocimarSettingsFile.h"
#include "speechexport/AudioExportJob.h"
#include "speechexport/ChapterComments.h"
#include "speechexport/CommandExport.h"
#include "store/BookStore.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <unistd.h>

namespace folimar::speechexport {

namespace {

constexpr int Failed = 1;

// What a range of topics put into the recording: "2 topics, 5 to 9, of the 3 to 99 asked
// for", so a range reaching past the book's topics says where they ended.
QString savedTopics(const TopicRange& asked, int count, int first, int last) {
    QString said = count == 1
                       ? QStringLiteral("1 topic, %1").arg(first)
                       : QStringLiteral("%1 topics, %2 to %3").arg(count).arg(first).arg(last);
    if (first != asked.first || last != asked.last)
        said += QStringLiteral(", of the %1 to %2 asked for").arg(asked.first).arg(asked.last);
    return said;
}

// The chapters of a book: its topics, or those numbered within the range (`saved` then
// says which were found).
std::optional<ExportRequest> bookRequest(const AudioCommand& command,
                                         const QString& registryStorePath, QTextStream& err,
                                         QString* saved) {
    settings::Settings settings;
    platform::ProgramLocations locations = platform::LocateProgram(registryStorePath);
    settings::LoadSettings(settings, locations);
    // The store keeps a notes file beside each book it opens: here one that goes away.
    const QTemporaryDir scratch;
    // Messages the store would show in a window go to the terminal.
    err << Qt::flush;
    platform::TerminalDialogs dialogs;
    settings.BookPath = QFileInfo(command.input).absoluteFilePath();
    store::BookStore store(settings, {scratch.path(), scratch.path()}, dialogs);
    store.OpenBook();
    if (!store.hasBook()) {
        err << "\"" << command.input << "\" is not a Folimar book, or has another password.\n";
        return std::nullopt;
    }
    ExportRequest request;
    request.title = QFileInfo(command.input).completeBaseName();
    request.capsAsSmall = settings.CapsAsSmall == 1;
    request.sentenceEnds = sentences::sentenceEndsOf(settings.SentenceEnds);
    QList<int> numbers;
    for (const store::TopicPage& topic : store.topicTexts()) {
        if (!command.topics ||
            (topic.TopicNo >= command.topics->first && topic.TopicNo <= command.topics->last)) {
            request.chapters.append({topic.TopicName, topic.PicText});
            numbers.append(topic.TopicNo);
        }
    }
    if (command.topics && !numbers.isEmpty())
        *saved = savedTopics(*command.topics, int(numbers.size()), numbers.first(), numbers.last());
    if (request.chapters.isEmpty()) {
        if (command.topics)
            err << "\"" << command.input << "\" has no topics numbered " << command.topics->first
                << " to " << command.topics->last << ".\n";
        else
            err << "\"" << command.input << "\" has no topics.\n";
        return std::nullopt;
    }
    return request;
}

std::optional<ExportRequest> textRequest(const AudioCommand& command,
                                         const QString& registryStorePath, QTextStream& err) {
    QFile file(command.input);
    if (!file.open(QIODevice::ReadOnly)) {
        err << "Cannot read \"" << command.input << "\": " << file.errorString() << ".\n";
        return std::nullopt;
    }
    settings::Settings settings;
    settings::LoadVocimarSettings(settings, platform::LocateProgram(registryStorePath));
    ExportRequest request;
    request.title = QFileInfo(command.input).completeBaseName();
    request.capsAsSmall = settings.CapsAsSmall == 1;
    request.sentenceEnds = sentences::sentenceEndsOf(settings.SentenceEnds);
    request.chapters = {{request.title, QString::fromUtf8(file.readAll())}};
    return request;
}

// Progress for a person at a terminal: one line redrawn; for a log, a line per tenth.
class ProgressLine {
public:
    ProgressLine(QTextStream& err, QString name)
        : err_(err), name_(std::move(name)), redraw_(isatty(STDERR_FILENO) == 1) {}
    void show(int permille) {
        const int percent = permille / 10;
        if (percent == shown_ || (!redraw_ && percent / 10 == shown_ / 10))
            return;
        shown_ = percent;
        err_ << (redraw_ ? "\r" : "") << "Saving " << name_ << ": " << percent << " %"
             << (redraw_ ? "" : "\n") << Qt::flush;
    }
    void end() {
        if (redraw_ && shown_ >= 0)
            err_ << '\n' << Qt::flush;
    }

private:
    QTextStream& err_;
    QString name_;
    bool redraw_;
    int shown_ = -1;
};

} // namespace

std::optional<TopicRange> ParseTopicRange(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^(-?\\d+)(?:-(-?\\d+))?$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    bool firstOk = false;
    bool lastOk = true;
    const int first = match.captured(1).toInt(&firstOk);
    const int last = match.hasCaptured(2) ? match.captured(2).toInt(&lastOk) : first;
    if (!firstOk || !lastOk)
        return std::nullopt;
    return TopicRange{std::min(first, last), std::max(first, last)};
}

AudioCommandParse ParseAudioCommand(const QStringList& arguments, AudioSource source) {
    AudioCommandParse parsed;
    if (arguments.value(0) != QLatin1String("--audio"))
        return parsed;
    QStringList operands;
    AudioCommand command;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& word = arguments.at(i);
        if (word == QLatin1String("--topics") && source == AudioSource::Book) {
            command.topics = ParseTopicRange(arguments.value(++i));
            if (!command.topics) {
                parsed.error =
                    QStringLiteral("--topics wants topic numbers FIRST-LAST, such as 3-17");
                return parsed;
            }
        } else if (word.startsWith(QLatin1Char('-')) && word.size() > 1) {
            parsed.error = QStringLiteral("unknown option '%1' for --audio").arg(word);
            return parsed;
        } else {
            operands << word;
        }
    }
    const QString form = source == AudioSource::Book
                             ? QStringLiteral("--audio BOOK.fmr OUT.opus [--topics FIRST-LAST]")
                             : QStringLiteral("--audio IN.txt OUT.opus");
    if (operands.size() != 2) {
        parsed.error = QStringLiteral("%1 is written %2").arg(QStringLiteral("--audio"), form);
        return parsed;
    }
    command.input = operands.at(0);
    command.output = operands.at(1);
    if (!audioFormatOf(command.output)) {
        parsed.error = QStringLiteral("'%1' is not a sound file name: end it in .opus or .wav")
                           .arg(command.output);
        return parsed;
    }
    parsed.command = command;
    return parsed;
}

int RunAudioCommand(const AudioCommand& command, AudioSource source,
                    const QString& registryStorePath, QTextStream& out, QTextStream& err) {
    if (!checkCommandFiles(command.input, command.output, err))
        return Failed;
    QString saved; // what went in, when only part of the input did
    std::optional<ExportRequest> request =
        source == AudioSource::Book ? bookRequest(command, registryStorePath, err, &saved)
                                    : textRequest(command, registryStorePath, err);
    if (!request) {
        err << Qt::flush;
        return Failed;
    }
    request->outputPath = command.output;
    request->voice = character::VoiceSettings::load(character::VoiceSettings::defaultPath());

    AudioExportJob job;
    ProgressLine progress(err, QFileInfo(command.output).fileName());
    QObject::connect(&job, &AudioExportJob::progressed, &job,
                     [&progress](int permille) { progress.show(permille); });
    return runCommandExport(
        job, std::move(*request), command.output, out, err, [&](const ExportOutcome& outcome) {
            progress.end();
            return (saved.isEmpty() ? QString() : saved + QStringLiteral("; ")) +
                   QString::fromLatin1(clockTime(outcome.samples, outcome.sampleRate)) +
                   QStringLiteral(" of speech");
        });
}

std::optional<int> AnswerAudioCommand(int& argc, char* argv[], const QStringList& arguments,
                                      AudioSource source, const platform::ProgramUsage& usage,
                                      QTextStream& out, QTextStream& err) {
    const AudioCommandParse audio = ParseAudioCommand(arguments, source);
    if (!audio.error.isEmpty()) {
        platform::ParsedCommandLine wrong;
        wrong.action = platform::CommandAction::Error;
        wrong.error = audio.error;
        return platform::AnswerCommandLine(wrong, usage, out, err);
    }
    if (!audio.command)
        return std::nullopt;
    QCoreApplication application(argc, argv);
    return RunAudioCommand(*audio.command, source, platform::RegistryStorePath(), out, err);
}

} // namespace folimar::speechexport
