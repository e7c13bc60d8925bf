#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace folimar::bench {

// A large book for benchmarks: `topics` topics numbered 1..N, each with a JPEG page
// picture of about 100 KB (noise and text, so it does not compress away) and about 2 KB
// of sentences. Made once and kept in `cacheFolder` under a name holding N; later calls
// return the kept file. Returns an empty path when it cannot be made.
QString largeBook(int topics, const QString& cacheFolder);

// The default cache folder: the system temporary folder + "/folimar-bench".
QString defaultBenchFolder();

// A working copy of the large book a benchmark's command line names
// (bench_NAME [TOPICS [CACHE]]: 3,000 topics in the default cache folder by default), in a
// fresh folder of its own under the cache, so that a run may change it.
class LargeBookCopy {
public:
    explicit LargeBookCopy(const QStringList& arguments);
    // False (and why, on stderr) when the book could not be made or copied.
    bool isValid() const { return !book_.isEmpty(); }
    int topics() const { return topics_; }
    const QString& book() const { return book_; } // the copy, "large.fmr" in the folder
    QString filePath(const QString& name) const { return folder_.filePath(name); }
    QString path() const { return folder_.path(); }

private:
    int topics_;
    QString cache_;
    QTemporaryDir folder_;
    QString book_;
};

} // namespace folimar::bench
