#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace folimar::platform {

// One line of a list in the help: a file, folder or variable and what it is for.
struct UsageItem {
    QString name;
    QString text;
};

// What a program's help and manual page say about it; both are made from this.
struct ProgramUsage {
    QString program;         // "folimar"
    QString title;           // "Folimar"
    QString summary;         // one line: what the program does
    QString operands;        // "[BOOK.fmr]", or empty for a program that takes none
    QStringList description; // paragraphs
    QList<UsageItem> files;
    QList<UsageItem> environment;
};

} // namespace folimar::platform
