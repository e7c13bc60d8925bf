// The import's list of files: the input holds names of files in a folder, a line each, then
// after a zero byte the bytes each of them holds. Every page planned names a file that is
// there, a picture within it and a topic name a topic holds; the folder's pictures come in
// one order however often they are listed.
#include "FuzzApplication.h"
#include "import/ImportPlan.h"
#include "platform/database/TableDef.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    folimar::fuzz::startGuiApplication();
    const QByteArray input = folimar::fuzz::bytesOf(data, size);
    const qsizetype split = input.indexOf('\0');
    const QList<QByteArray> lines = input.left(split).split('\n');
    QByteArray content = split < 0 ? QByteArray() : input.mid(split + 1);
    // PDFs are read by another parser, with targets of its own.
    if (content.startsWith("%PDF"))
        content[0] = ' ';
    QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("scans"));
    QDir().mkpath(folder);
    QStringList paths{folder, root.filePath(QStringLiteral("missing.png"))};
    for (qsizetype i = 0; i < std::min<qsizetype>(lines.size(), 12); ++i) {
        QString name = QString::fromUtf8(lines[i]).left(60);
        name.remove(QLatin1Char('/')).remove(QChar(0));
        if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
            continue;
        if (name.endsWith(QLatin1String("pdf"), Qt::CaseInsensitive))
            name += QLatin1String(".x");
        QFile file(QDir(folder).filePath(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(content);
        paths << file.fileName();
    }
    const folimar::import::ImportPlan plan = folimar::import::planImport(paths, {});
    for (const folimar::import::PageJob& page : plan.pages) {
        if (!QFile::exists(page.file) || page.index < 0 || page.name.isEmpty() ||
            page.name.size() > folimar::database::DefaultTextSize)
            __builtin_trap();
    }
    if (plan.skipped.isEmpty())
        __builtin_trap(); // the missing file is always said
    if (folimar::import::folderPictures(folder) != folimar::import::folderPictures(folder))
        __builtin_trap();
    return 0;
}
