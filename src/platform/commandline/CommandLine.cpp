#include "platform/commandline/CommandLine.h"

#include <array>
#include <utility>

namespace folimar::platform {

namespace {

// Qt's own options that the application reads from the command line; Qt takes them with
// one dash or two.
constexpr std::array QtOptionsWithValue{"platform",
                                        "platformpluginpath",
                                        "platformtheme",
                                        "plugin",
                                        "qwindowgeometry",
                                        "geometry",
                                        "qwindowtitle",
                                        "title",
                                        "qwindowicon",
                                        "icon",
                                        "session",
                                        "display",
                                        "name",
                                        "style",
                                        "stylesheet",
                                        "qmljsdebugger"};
constexpr std::array QtFlags{"reverse", "widgetcount", "nograb", "dograb", "sync"};

template <std::size_t N>
bool isOneOf(const QString& name, const std::array<const char*, N>& names) {
    for (const char* known : names)
        if (name == QLatin1String(known))
            return true;
    return false;
}

ParsedCommandLine failure(QString message) {
    ParsedCommandLine parsed;
    parsed.action = CommandAction::Error;
    parsed.error = std::move(message);
    return parsed;
}

// The words after "--import": files, and "--into" with the book.
ParsedCommandLine importCommand(const QStringList& words, ParsedCommandLine parsed) {
    parsed.action = CommandAction::Import;
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (words.at(i) == QLatin1String("--into")) {
            if (i + 1 >= words.size() || !parsed.importInto.isEmpty())
                return failure(QStringLiteral("'--into' needs one book"));
            parsed.importInto = words.at(++i);
        } else {
            parsed.operands << words.at(i);
        }
    }
    if (parsed.operands.isEmpty())
        return failure(QStringLiteral("'--import' needs a file or folder to import"));
    return parsed;
}

} // namespace

ParsedCommandLine ParseCommandLine(const QStringList& arguments, bool takesOperands) {
    ParsedCommandLine parsed;
    qsizetype i = 0;
    for (; i < arguments.size(); ++i) {
        const QString& arg = arguments.at(i);
        if (arg == QLatin1String("--")) {
            ++i;
            break;
        }
        if (!arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-"))
            break;
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            parsed.action = CommandAction::Help;
            return parsed;
        }
        if (arg == QLatin1String("-V") || arg == QLatin1String("--version")) {
            parsed.action = CommandAction::Version;
            return parsed;
        }
        if (arg == QLatin1String("--manual-page")) {
            parsed.action = CommandAction::ManualPage;
            return parsed;
        }
        if (arg == QLatin1String("--import") && takesOperands)
            return importCommand(arguments.mid(i + 1), std::move(parsed));
        const QString name = arg.mid(arg.startsWith(QLatin1String("--")) ? 2 : 1);
        if (isOneOf(name, QtFlags)) {
            parsed.qtArguments << arg;
        } else if (isOneOf(name.section(QLatin1Char('='), 0, 0), QtOptionsWithValue) &&
                   name.contains(QLatin1Char('='))) {
            parsed.qtArguments << arg;
        } else if (isOneOf(name, QtOptionsWithValue)) {
            if (i + 1 >= arguments.size())
                return failure(QStringLiteral("option '%1' needs a value").arg(arg));
            parsed.qtArguments << arg << arguments.at(++i);
        } else {
            return failure(QStringLiteral("unknown option '%1'").arg(arg));
        }
    }
    parsed.operands = arguments.mid(i);
    if (!takesOperands && !parsed.operands.isEmpty())
        return failure(QStringLiteral("unexpected argument '%1'").arg(parsed.operands.first()));
    return parsed;
}

QString ProjectVersion() {
    return QStringLiteral(FOLIMAR_VERSION);
}

} // namespace folimar::platform
