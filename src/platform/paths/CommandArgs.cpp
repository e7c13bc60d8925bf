#include "platform/paths/CommandArgs.h"

#include <QFileInfo>

namespace folimar::platform {

QStringList GetCommandArgs(const QStringList& arguments, int maxArgs) {
    const QString line = arguments.join(QLatin1Char(' '));
    QStringList args{QString()};
    if (maxArgs > 0 && QFileInfo(line).isFile())
        return args << line;
    bool inArg = false;
    for (const QChar c : line) {
        if (c == QLatin1Char(',') || c == QLatin1Char('\t')) {
            inArg = false;
            continue;
        }
        if (!inArg) {
            if (args.size() > maxArgs)
                break;
            args.append(QString());
            inArg = true;
        }
        args.last() += c;
    }
    return args;
}

QString StripArgumentQuotes(const QString& arg) {
    if (!arg.startsWith(QLatin1Char('"')))
        return arg;
    const qsizetype close = arg.indexOf(QLatin1Char('"'), 1);
    return close < 0 ? arg : arg.mid(1, close - 1);
}

} // namespace folimar::platform
