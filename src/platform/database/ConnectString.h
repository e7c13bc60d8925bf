#pragma once

#include <QByteArray>
#include <QString>

namespace folimar::database {

// The password of a connect text such as ";LANGID=0x0409;CP=1252;COUNTRY=0;pwd=58K31pR":
// the value of its "pwd=" part (any case), empty when there is none.
QByteArray passwordOf(const QString& connect);

} // namespace folimar::database
