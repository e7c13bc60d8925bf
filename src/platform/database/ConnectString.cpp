#include "platform/database/ConnectString.h"

#include <QStringList>

namespace folimar::database {

QByteArray passwordOf(const QString& connect) {
    const QStringList parts = connect.split(QLatin1Char(';'));
    for (const QString& part : parts) {
        if (part.startsWith(QLatin1String("pwd="), Qt::CaseInsensitive))
            return part.mid(4).toUtf8();
    }
    return {};
}

} // namespace folimar::database
