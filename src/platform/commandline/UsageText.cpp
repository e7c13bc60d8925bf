#include "platform/commandline/UsageText.h"

#include "platform/commandline/CommandLine.h"

namespace folimar::platform {

namespace {

constexpr qsizetype LineWidth = 79;
constexpr qsizetype ItemColumn = 18; // where the text of a listed item starts

constexpr char QtOptionsNote[] =
    "Qt's own options (-platform NAME, -style NAME, -session ID, ...) are handed to Qt.";

// The options every program knows; "--" only where a path may follow.
QList<UsageItem> optionsOf(const ProgramUsage& usage) {
    QList<UsageItem> options{
        {QStringLiteral("-h, --help"), QStringLiteral("show this help and end")},
        {QStringLiteral("-V, --version"), QStringLiteral("show the version and end")}};
    if (!usage.operands.isEmpty())
        options.append({QStringLiteral("--"),
                        QStringLiteral("end the options: what follows is the path, even when "
                                       "it starts with \"-\"")});
    return options;
}

QString synopsisOf(const ProgramUsage& usage) {
    return usage.operands.isEmpty() ? QStringLiteral("[OPTION]...")
                                    : QStringLiteral("[OPTION]... [--] ") + usage.operands;
}

// `text` broken into lines of at most LineWidth columns, each starting with `indent` spaces;
// the first one may start with `firstLine` instead, a lead-in `indent` columns wide.
QString wrapped(const QString& text, qsizetype indent, const QString& firstLine = {}) {
    const QString margin(indent, QLatin1Char(' '));
    QString out;
    QString line = firstLine.isEmpty() ? margin : firstLine;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (line.size() > indent && line.size() + 1 + word.size() > LineWidth) {
            out += line + QLatin1Char('\n');
            line = margin;
        }
        if (line.size() > indent)
            line += QLatin1Char(' ');
        line += word;
    }
    return out + line + QLatin1Char('\n');
}

QString helpList(const QString& heading, const QList<UsageItem>& items) {
    QString out = QLatin1Char('\n') + heading + QStringLiteral(":\n");
    for (const UsageItem& item : items) {
        const QString name = QStringLiteral("  ") + item.name;
        out += name.size() < ItemColumn
                   ? wrapped(item.text, ItemColumn, name.leftJustified(ItemColumn))
                   : name + QLatin1Char('\n') + wrapped(item.text, ItemColumn);
    }
    return out;
}

// Text safe to put on a roff line: backslashes and dashes escaped, no control line.
QString roff(const QString& text) {
    QString out = text;
    out.replace(QLatin1Char('\\'), QLatin1String("\\e"))
        .replace(QLatin1Char('-'), QLatin1String("\\-"));
    if (out.startsWith(QLatin1Char('.')) || out.startsWith(QLatin1Char('\'')))
        out.prepend(QLatin1String("\\&"));
    return out;
}

QString roffList(const QString& heading, const QList<UsageItem>& items, const QString& font) {
    QString out = QStringLiteral(".SH ") + heading + QLatin1Char('\n');
    for (const UsageItem& item : items)
        out += QStringLiteral(".TP\n\\f") + font + roff(item.name) + QStringLiteral("\\fR\n") +
               roff(item.text) + QLatin1Char('\n');
    return out;
}

} // namespace

QString HelpText(const ProgramUsage& usage) {
    QString out = QStringLiteral("Usage: ") + usage.program + QLatin1Char(' ') + synopsisOf(usage) +
                  QLatin1Char('\n');
    out += usage.summary.left(1).toUpper() + usage.summary.mid(1) + QStringLiteral(".\n");
    for (const QString& paragraph : usage.description)
        out += QLatin1Char('\n') + wrapped(paragraph, 0);
    out += helpList(QStringLiteral("Options"), optionsOf(usage));
    out += wrapped(QLatin1String(QtOptionsNote), 2);
    out += helpList(QStringLiteral("Files and folders"), usage.files);
    out += helpList(QStringLiteral("Environment"), usage.environment);
    return out;
}

QString VersionText(const ProgramUsage& usage) {
    return usage.program + QLatin1Char(' ') + ProjectVersion() + QLatin1Char('\n');
}

QString ManualPage(const ProgramUsage& usage) {
    QString out = QStringLiteral(".TH %1 1 \"\" \"%2 %3\" \"User Commands\"\n")
                      .arg(usage.program.toUpper(), usage.title, ProjectVersion());
    out += QStringLiteral(".SH NAME\n") + usage.program + QStringLiteral(" \\- ") +
           roff(usage.summary) + QLatin1Char('\n');
    out += QStringLiteral(".SH SYNOPSIS\n.B ") + usage.program + QLatin1Char('\n') +
           roff(synopsisOf(usage)) + QLatin1Char('\n');
    out += QStringLiteral(".SH DESCRIPTION\n");
    for (const QString& paragraph : usage.description)
        out += QStringLiteral(".PP\n") + roff(paragraph) + QLatin1Char('\n');
    out += roffList(QStringLiteral("OPTIONS"), optionsOf(usage), QStringLiteral("B"));
    out += QStringLiteral(".PP\n") + roff(QLatin1String(QtOptionsNote)) + QLatin1Char('\n');
    out += roffList(QStringLiteral("FILES"), usage.files, QStringLiteral("I"));
    out += roffList(QStringLiteral("ENVIRONMENT"), usage.environment, QStringLiteral("B"));
    return out;
}

} // namespace folimar::platform
