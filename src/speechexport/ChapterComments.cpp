#include "speechexport/ChapterComments.h"

#include <QString>

namespace folimar::speechexport {

QByteArray clockTime(std::int64_t sample, int sampleRate) {
    const std::int64_t ms = sampleRate > 0 ? sample * 1000 / sampleRate : 0;
    return QString::asprintf("%02lld:%02lld:%02lld.%03lld", static_cast<long long>(ms / 3600000),
                             static_cast<long long>(ms / 60000 % 60),
                             static_cast<long long>(ms / 1000 % 60),
                             static_cast<long long>(ms % 1000))
        .toLatin1();
}

QList<QPair<QByteArray, QByteArray>>
chapterComments(const QString& title, const QList<ChapterMark>& chapters, int sampleRate) {
    QList<QPair<QByteArray, QByteArray>> comments;
    if (!title.isEmpty())
        comments.append({"TITLE", title.toUtf8()});
    for (qsizetype i = 0; i < chapters.size(); ++i) {
        const QByteArray key = "CHAPTER" + QByteArray::number(i + 1).rightJustified(3, '0');
        comments.append({key, clockTime(chapters[i].sample, sampleRate)});
        comments.append({key + "NAME", chapters[i].title.toUtf8()});
    }
    return comments;
}

} // namespace folimar::speechexport
