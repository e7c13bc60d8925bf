#pragma once

#include "import/ImportPlan.h"
#include "import/ImportProgress.h"
#include "import/ImportedPage.h"
#include "import/PageMaker.h"

#include <QElapsedTimer>
#include <QObject>
#include <QThread>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace folimar::recognition {
struct ReadControl;
struct RecognitionSettings;
} // namespace folimar::recognition
namespace folimar::settings {
struct Settings;
}
namespace folimar::store {
class BookStore;
}

namespace folimar::import {

// Adds the planned pages to the open book as topics numbered on from its highest one.
// Pages are made (rendered, encoded, read) on worker threads, several at once, and
// stored in their order on the object's own thread, each page in a transaction of its
// own: a cancel, a crash or a quit keeps every page stored so far and never half a topic.
// Workers make only a few pages ahead of the last one stored, so that a long PDF is never
// held in memory.
//
// While it runs the book refuses edits (the store's ImportingInto), so that only the import
// writes to it.
class BookImport final : public QObject {
    Q_OBJECT
public:
    struct Setup {
        PageMaking making;
        // A book without topics becomes this user's: written to each page's `u`.
        QString userName;
        int workers = 0; // 0: one per core

        // The user's paste quality and recognition languages.
        static Setup forUser(const settings::Settings& settings,
                             const recognition::RecognitionSettings& recognition);
    };

    BookImport(store::BookStore& store, ImportPlan plan, Setup setup, QObject* parent = nullptr);
    ~BookImport() override; // cancels and waits for the workers

    enum class Start { Started, NothingToImport, NumbersWouldOverflow, BookNotWritable };
    // Checks everything that can refuse the import before anything is written.
    Start start();
    void cancel();
    bool isRunning() const { return running_; }
    int pageCount() const { return int(plan_.pages.size()); }
    // The number the first page gets.
    int firstTopicNo() const;

Q_SIGNALS:
    void pageDone(const folimar::import::ImportProgress& progress);
    void finished(const folimar::import::ImportSummary& summary);

private:
    void work(PageMaker& maker);
    void take(int index, ImportedPage page);
    void store(const ImportedPage& page);
    void finish();
    void stopWorkers();
    ImportProgress progress() const;

    store::BookStore& store_;
    ImportPlan plan_;
    Setup setup_;
    QString bookPath_; // the book the import writes to
    std::optional<QString> owner_;
    int nextTopicNo_ = 0;
    bool running_ = false;
    ImportSummary summary_;
    QElapsedTimer clock_;
    std::map<int, ImportedPage> waiting_; // made, not yet stored: later than the next one

    std::mutex mutex_; // guards the three below
    std::condition_variable wake_;
    int nextToMake_ = 0;
    int stored_ = 0; // pages stored or skipped, in order
    bool stopping_ = false;
    int ahead_ = 0; // how many pages workers may make beyond the last one stored
    std::vector<std::unique_ptr<recognition::ReadControl>> controls_;
    std::vector<std::unique_ptr<QThread>> workers_;
};

} // namespace folimar::import
