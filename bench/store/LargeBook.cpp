#include "LargeBook.h"

#include "platform/database/SyncedFiles.h"
#include "platform/database/Transaction.h"
#include "platform/database/Workspace.h"
#include "store/BookFields.h"
#include "store/BookSchema.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>

#include <cstdio>
#include <vector>

namespace folimar::bench {

namespace {

// Distinct pictures cycled over the topics; each is a real JPEG of about 100 KB.
constexpr int DistinctPictures = 48;

QByteArray pagePicture(int index, QRandomGenerator& random) {
    QImage page(640, 860, QImage::Format_RGB32);
    for (int y = 0; y < page.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(page.scanLine(y));
        for (int x = 0; x < page.width(); ++x) {
            const int grey = 200 + int(random.bounded(56));
            line[x] = qRgb(grey, grey, grey - 10);
        }
    }
    QPainter painter(&page);
    painter.setPen(Qt::black);
    for (int row = 0; row < 40; ++row)
        painter.drawText(30, 40 + row * 20, QStringLiteral("Page %1, line %2: the quick brown fox")
                                               .arg(index)
                                               .arg(row));
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(40);
    writer.write(page);
    return bytes;
}

QString pageText(int topic, QRandomGenerator& random) {
    static const char* const words[] = {"harbour", "ship", "quay", "sailor", "wind", "rope",
                                        "evening", "light", "water", "stone", "gull", "bread"};
    QString text;
    while (text.size() < 2000) {
        const int length = 6 + int(random.bounded(10));
        for (int w = 0; w < length; ++w) {
            if (w > 0)
                text += QLatin1Char(' ');
            text += QLatin1String(words[random.bounded(int(std::size(words)))]);
        }
        text += QStringLiteral(". ");
    }
    return QStringLiteral("Topic %1. ").arg(topic) + text;
}

bool writeBook(const QString& path, int topics) {
    database::Workspace workspace;
    database::Status status;
    auto book = workspace.createDatabase(path, store::schema::CreateConnect, &status);
    if (!book || !book->appendTable(store::schema::bookTable()))
        return false;
    QRandomGenerator random(20240501);
    std::vector<QByteArray> pictures;
    for (int i = 0; i < DistinctPictures; ++i)
        pictures.push_back(pagePicture(i, random));
    database::Transaction transaction(book->connection());
    database::Statement* add = book->connection().cached(
        QStringLiteral("INSERT INTO Sitedata (TopicNo, TopicName, u) VALUES (?1, ?2, 'bench')"),
        &status);
    database::Connection& connection = book->connection();
    for (int topic = 1; add && status && topic <= topics; ++topic) {
        {
            database::StatementScope scope(add);
            add->bind(1, topic);
            add->bind(2, QStringLiteral("Topic %1 %2").arg(random.bounded(1000)).arg(topic));
            add->step(&status);
        }
        const qint64 row = connection.lastInsertRow();
        if (status)
            status = store::writeBookField(connection, row, store::schema::TextField,
                                           pageText(topic, random));
        if (status)
            status = store::writeBookField(connection, row, store::schema::PictureField,
                                           pictures[size_t(topic % DistinctPictures)]);
    }
    return status && transaction.commit() && book->close();
}

} // namespace

QString defaultBenchFolder() { return QDir::tempPath() + QStringLiteral("/folimar-bench"); }

QString largeBook(int topics, const QString& cacheFolder) {
    const QString path = cacheFolder + QStringLiteral("/book-%1.fmr").arg(topics);
    if (QFile::exists(path))
        return path;
    QDir().mkpath(cacheFolder);
    const QString partial = path + QStringLiteral(".part");
    QFile::remove(partial);
    if (!writeBook(partial, topics) || !QFile::rename(partial, path)) {
        QFile::remove(partial);
        return {};
    }
    return path;
}

LargeBookCopy::LargeBookCopy(const QStringList& arguments)
    : topics_(arguments.size() > 1 ? arguments[1].toInt() : 3000),
      cache_(arguments.size() > 2 ? arguments[2] : defaultBenchFolder()),
      folder_((QDir().mkpath(cache_), cache_ + QStringLiteral("/run-XXXXXX"))) {
    const QString large = largeBook(topics_, cache_);
    if (large.isEmpty()) {
        std::fprintf(stderr, "cannot make the large book in %s\n", qPrintable(cache_));
        return;
    }
    const QString copy = folder_.filePath(QStringLiteral("large.fmr"));
    if (!database::copySynced(large, copy)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(large));
        return;
    }
    book_ = copy;
}

} // namespace folimar::bench
