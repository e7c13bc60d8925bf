#include "topics/BookExports.h"

#include "platform/dialogs/Dialogs.h"
#include "platform/paths/PathNames.h"
#include "platform/paths/ProgramLocations.h"
#include "settings/Settings.h"
#include "store/BookStore.h"

#include <QSaveFile>

namespace folimar::topics {

namespace {

const QString LineBreak = QStringLiteral("\r\n");

// Notes typed here break lines with LF alone; the files break them with CR LF throughout.
QString withCrLf(QString text) {
    text.replace(LineBreak, QStringLiteral("\n"));
    text.replace(QLatin1Char('\n'), LineBreak);
    return text;
}

} // namespace

BookExports::BookExports(store::BookStore& store, const platform::ProgramLocations& locations,
                         platform::Dialogs& dialogs)
    : store_(store), locations_(locations), dialogs_(dialogs) {}

QString BookExports::exportPath(const QString& ending) const {
    const QString& book = store_.settings().BookPath;
    if (store_.ReadOnlyMode)
        return locations_.TempFolder + QLatin1Char('/') + platform::BaseNameOf(book) + ending;
    return book.left(book.size() - 4) + ending;
}

QByteArray BookExports::listText(const QList<store::TopicEntry>& topics) {
    QString text;
    for (const store::TopicEntry& topic : topics)
        text += topic.TopicName + QLatin1Char('.') + LineBreak;
    return (text + LineBreak).toUtf8();
}

QByteArray BookExports::summaryText(const QList<store::NoteEntry>& notes) {
    QString text;
    for (const store::NoteEntry& note : notes) {
        if (note.NoteText.isEmpty())
            continue;
        text += note.TopicName + QLatin1Char('.') + LineBreak + LineBreak +
                withCrLf(note.NoteText) + QLatin1Char('.') + LineBreak + LineBreak + LineBreak;
    }
    return text.isEmpty() ? QByteArray() : (text + LineBreak).toUtf8();
}

void BookExports::exportContents() {
    exportList(store_.topicList(), QStringLiteral("_cnt.txt"),
               QStringLiteral("Contents File Created"));
}

void BookExports::exportIndex() {
    exportList(store_.topicsByName(), QStringLiteral("_idx.txt"),
               QStringLiteral("Index File Created"));
}

void BookExports::exportSummary() {
    const QByteArray text = summaryText(store_.notes());
    if (text.isEmpty()) {
        dialogs_.inform(QStringLiteral("No Notes Found"), QStringLiteral("Folimar"));
        return;
    }
    writeAndTell(text, QStringLiteral("_sum.txt"), QStringLiteral("Summary File Created"));
}

void BookExports::exportList(const QList<store::TopicEntry>& topics, const QString& ending,
                             const QString& title) {
    if (!topics.isEmpty())
        writeAndTell(listText(topics), ending, title);
}

void BookExports::writeAndTell(const QByteArray& text, const QString& ending,
                               const QString& title) {
    const QString path = exportPath(ending);
    QSaveFile file(path);
    const bool written = file.open(QIODevice::WriteOnly) && file.write(text) == text.size() &&
                         file.commit();
    if (!written) {
        dialogs_.inform(QStringLiteral("Cant write %1\n%2").arg(path, file.errorString()),
                        QStringLiteral("Folimar"), platform::MessageIcon::Critical);
        return;
    }
    dialogs_.inform(path, title);
}

} // namespace folimar::topics
