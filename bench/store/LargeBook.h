#pragma once

#include <QString>

namespace folimar::bench {

// A large book for benchmarks: `topics` topics numbered 1..N, each with a JPEG page
// picture of about 100 KB (noise and text, so it does not compress away) and about 2 KB
// of sentences. Made once and kept in `cacheFolder` under a name holding N; later calls
// return the kept file. Returns an empty path when it cannot be made.
QString largeBook(int topics, const QString& cacheFolder);

// The default cache folder: the system temporary folder + "/folimar-bench".
QString defaultBenchFolder();

} // namespace folimar::bench
