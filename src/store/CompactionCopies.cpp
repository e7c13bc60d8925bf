#include "store/CompactionCopies.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cerrno>
#include <csignal>

namespace folimar::store {

namespace {

bool processRuns(qint64 pid) {
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno != ESRCH);
}

} // namespace

QString freshCopyName(const QString& folder) {
    return folder + QStringLiteral("/temp-%1-%2.mdb")
                        .arg(QCoreApplication::applicationPid())
                        .arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
}

void removeLeftoverCopies(const QString& folder) {
    static const QRegularExpression copyName(
        QStringLiteral("^temp(?:-(\\d+)-[0-9a-f]+)?\\.mdb(?:-journal)?$"));
    const QStringList names =
        QDir(folder).entryList({QStringLiteral("temp*.mdb*")}, QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = copyName.match(name);
        if (!match.hasMatch())
            continue;
        const QString pid = match.captured(1);
        if (pid.isEmpty() || !processRuns(pid.toLongLong()))
            QFile::remove(folder + QLatin1Char('/') + name);
    }
}

} // namespace folimar::store
