#include "import/ImportPlan.h"

#include "import/PdfFile.h"
#include "import/UnreadablePicture.h"
#include "pictures/TiffDirectories.h"
#include "platform/database/TableDef.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSet>
#include <algorithm>

namespace folimar::import {

namespace {

// Every picture format Qt's readers take on this system (GIF and WebP among them).
QStringList pictureSuffixes() {
    QStringList suffixes;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        suffixes.append(QStringLiteral("*.") + QString::fromLatin1(format));
    return suffixes;
}

// A file's topic name: its name without the extension, or its whole name where that would
// leave nothing (".png").
QString topicNameOf(const QString& path) {
    const QFileInfo file(path);
    const QString base = file.completeBaseName();
    return (base.isEmpty() ? file.fileName() : base).left(database::DefaultTextSize);
}

bool looksLikePdf(const QString& path) {
    if (QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0)
        return true;
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(5) == "%PDF-";
}

void planPdf(const QString& path, const PasswordAsk& askPassword, const PdfReading& reading,
             ImportPlan& plan) {
    const QString shown = QFileInfo(path).fileName();
    QByteArray password;
    // Only the pages are counted: no picture is drawn yet.
    constexpr qint64 NoPictures = 0;
    PdfOpening opening = openPdf(path, password, reading, NoPictures);
    bool wrongBefore = false;
    while (opening.locked) {
        const QString typed = askPassword ? askPassword(shown, wrongBefore) : QString();
        if (typed.isNull()) {
            plan.skipped.append(QStringLiteral("%1 (no password)").arg(shown));
            return;
        }
        password = typed.toUtf8();
        opening = openPdf(path, password, reading, NoPictures);
        wrongBefore = true;
    }
    if (!opening.file || opening.file->pageCount() <= 0) {
        plan.skipped.append(QStringLiteral("%1 (%2)").arg(
            shown, opening.failure.isEmpty() ? QStringLiteral("not a PDF that can be read")
                                             : opening.failure));
        return;
    }
    for (int page = 0; page < opening.file->pageCount(); ++page)
        plan.pages.push_back(
            {PageJob::Kind::PdfPage, path, page, pageName(path, page + 1), password});
}

void planPictures(const QString& path, ImportPlan& plan) {
    QImageReader reader(path);
    if (!reader.canRead()) {
        QFile file(path);
        const QByteArray head = file.open(QIODevice::ReadOnly) ? file.read(16) : QByteArray();
        plan.skipped.append(QStringLiteral("%1 (%2)").arg(
            QFileInfo(path).fileName(),
            unreadablePictureReason(head, QImageReader::supportedImageFormats())));
        return;
    }
    // A TIFF's pictures are counted as they are then read: along its chain of directories.
    QFile file(path);
    const std::vector<qint64> directories =
        file.open(QIODevice::ReadOnly) ? pictures::tiffDirectories(file) : std::vector<qint64>{};
    const int count =
        directories.empty() ? std::max(1, reader.imageCount()) : int(directories.size());
    for (int picture = 0; picture < count; ++picture) {
        const QString name = count == 1 ? topicNameOf(path)
                                        : pageName(path, picture + 1);
        plan.pages.push_back({PageJob::Kind::Picture, path, picture, name, {}});
    }
}

// "page2" before "page10": runs of digits compare by their value, the rest without case.
// (The system's collator does this only in some locales.)
bool naturalLess(const QString& a, const QString& b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            const qsizetype startA = i;
            const qsizetype startB = j;
            while (i < a.size() && a[i].isDigit())
                ++i;
            while (j < b.size() && b[j].isDigit())
                ++j;
            QStringView numberA = QStringView(a).mid(startA, i - startA);
            QStringView numberB = QStringView(b).mid(startB, j - startB);
            while (numberA.size() > 1 && numberA.front() == u'0')
                numberA = numberA.mid(1);
            while (numberB.size() > 1 && numberB.front() == u'0')
                numberB = numberB.mid(1);
            if (numberA.size() != numberB.size())
                return numberA.size() < numberB.size();
            if (const int order = numberA.compare(numberB); order != 0)
                return order < 0;
            continue;
        }
        const QChar x = a[i].toCaseFolded();
        const QChar y = b[j].toCaseFolded();
        if (x != y)
            return x < y;
        ++i;
        ++j;
    }
    if (a.size() - i != b.size() - j)
        return a.size() - i < b.size() - j;
    return a < b;
}

} // namespace

QString pageName(const QString& file, int pageNumber) {
    const QString suffix = QStringLiteral(" p.%1").arg(pageNumber);
    return topicNameOf(file)
               .left(database::DefaultTextSize - suffix.size()) +
           suffix;
}

QString passwordPrompt(const QString& file, bool wrongBefore) {
    return wrongBefore
               ? QStringLiteral("That password does not open \"%1\". Type its password "
                                "again, or Cancel to leave the file out:")
                     .arg(file)
               : QStringLiteral("\"%1\" is protected by a password. Type its password:").arg(file);
}

namespace {

void collectFolderPictures(const QDir& dir, QSet<QString>& visited, QStringList& pictures) {
    if (visited.contains(dir.canonicalPath()))
        return; // a link back to a folder already gone through
    visited.insert(dir.canonicalPath());
    const QStringList files = dir.entryList(pictureSuffixes(), QDir::Files | QDir::Readable);
    const QStringList folders = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Readable);
    QStringList names = files + folders;
    std::sort(names.begin(), names.end(), naturalLess);
    for (const QString& name : names) {
        if (folders.contains(name))
            collectFolderPictures(QDir(dir.filePath(name)), visited, pictures);
        else
            pictures.append(dir.filePath(name));
    }
}

} // namespace

QStringList folderPictures(const QString& folder) {
    QSet<QString> visited;
    QStringList pictures;
    collectFolderPictures(QDir(folder), visited, pictures);
    return pictures;
}

ImportPlan planImport(const QStringList& paths, const PasswordAsk& askPassword,
                      const PdfReading& reading) {
    ImportPlan plan;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (info.isDir()) {
            for (const QString& picture : folderPictures(path))
                planPictures(picture, plan);
        } else if (!info.isFile()) {
            plan.skipped.append(QStringLiteral("%1 (not found)").arg(info.fileName()));
        } else if (looksLikePdf(path)) {
            planPdf(path, askPassword, reading, plan);
        } else {
            planPictures(path, plan);
        }
    }
    return plan;
}

} // namespace folimar::import
