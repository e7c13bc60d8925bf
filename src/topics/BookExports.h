#pragma once

#include "store/TopicRecords.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace folimar::platform {
class Dialogs;
struct ProgramLocations;
} // namespace folimar::platform
namespace folimar::store {
class BookStore;
}

namespace folimar::topics {

// The three text exports of the open book, written beside it (into TempFolder when the
// book is read-only) as UTF-8 with CR LF line breaks: the contents (names in number
// order, "_cnt.txt"), the index (names in name order, "_idx.txt") and the summary (every
// topic with a note, and the note, "_sum.txt"). A file is replaced as a whole or not at
// all; the user is told the file's path, or why it could not be written.
class BookExports {
public:
    BookExports(store::BookStore& store, const platform::ProgramLocations& locations,
                platform::Dialogs& dialogs);

    void exportContents();
    void exportIndex();
    void exportSummary();

    // Where the export with this file name ending goes.
    QString exportPath(const QString& ending) const;

    // The files' texts, each ending with one extra line break.
    static QByteArray listText(const QList<store::TopicEntry>& topics);
    static QByteArray summaryText(const QList<store::NoteEntry>& notes); // empty: no notes

private:
    void exportList(const QList<store::TopicEntry>& topics, const QString& ending,
                    const QString& title);
    void writeAndTell(const QByteArray& text, const QString& ending, const QString& title);

    store::BookStore& store_;
    const platform::ProgramLocations& locations_;
    platform::Dialogs& dialogs_;
};

} // namespace folimar::topics
