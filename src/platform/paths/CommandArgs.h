#pragma once

#include <QString>
#include <QStringList>

namespace folimar::platform {

// The command line as the program reads it: `arguments` (those after the program name)
// joined by single spaces, then split on commas and tabs only, so a path with spaces
// arrives whole. Element 0 stays empty; element 1 is the first argument; at most `maxArgs`
// arguments follow it. Arguments that, joined, name an existing file are that one file
// and are not split: the desktop passes a name such as "Trip, 2nd.fmr" as it is.
QStringList GetCommandArgs(const QStringList& arguments, int maxArgs = 10);

// A book name given as a quoted path loses its quotes: "/a b/c.fmr" gives /a b/c.fmr
// (and anything after the closing quote is dropped). Other names come back unchanged.
QString StripArgumentQuotes(const QString& arg);

} // namespace folimar::platform
