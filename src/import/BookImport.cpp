#include "import/BookImport.h"

#include "import/PageResolution.h"
#include "recognition/PageReader.h"
#include "recognition/RecognitionLanguages.h"
#include "recognition/RecognitionSettings.h"
#include "settings/PasteQuality.h"
#include "settings/Settings.h"
#include "store/BookStore.h"
#include "store/TopicRecords.h"

#include <QFileInfo>
#include <limits>
#include <sqlite3.h>

namespace folimar::import {

namespace {
constexpr int MaxTopicNo = std::numeric_limits<qint16>::max();
} // namespace

BookImport::Setup BookImport::Setup::forUser(const settings::Settings& settings,
                                             const recognition::RecognitionSettings& recognition) {
    return {{settings::pasteQualityOf(settings.PasteQuality), recognition::tessdataFolder(),
             recognition.languagesToRead()},
            settings.UserName,
            0};
}

BookImport::BookImport(store::BookStore& store, ImportPlan plan, Setup setup, QObject* parent)
    : QObject(parent), store_(store), plan_(std::move(plan)), setup_(std::move(setup)) {
    summary_.skipped = plan_.skipped;
}

BookImport::~BookImport() {
    stopWorkers();
    if (running_)
        store_.ImportingInto.clear();
}

int BookImport::firstTopicNo() const {
    return store_.highestTopicNo().value_or(0) + 1;
}

BookImport::Start BookImport::start() {
    if (plan_.pages.empty())
        return Start::NothingToImport;
    if (!store_.hasBook() || store_.ReadOnlyMode)
        return Start::BookNotWritable;
    nextTopicNo_ = firstTopicNo();
    if (qint64(nextTopicNo_) + qint64(plan_.pages.size()) - 1 > MaxTopicNo)
        return Start::NumbersWouldOverflow;

    bookPath_ = store_.OpenedBookPath;
    if (!store_.highestTopicNo())
        owner_ = setup_.userName;
    running_ = true;
    store_.ImportingInto = bookPath_;
    clock_.start();
    const int count =
        setup_.workers > 0 ? setup_.workers : std::max(1, QThread::idealThreadCount());
    ahead_ = 2 * count;
    setup_.making.pagePixels = ImportPagePixels / count;
    for (int i = 0; i < count; ++i) {
        controls_.push_back(std::make_unique<recognition::ReadControl>());
        recognition::ReadControl& control = *controls_.back();
        workers_.emplace_back(QThread::create([this, &control] {
            PageMaker maker(setup_.making, control);
            work(maker);
        }));
        // Below the window, so that the reader and the interface answer at once.
        workers_.back()->start(QThread::LowPriority);
    }
    return Start::Started;
}

void BookImport::work(PageMaker& maker) {
    const int total = int(plan_.pages.size());
    for (;;) {
        int index = 0;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] {
                return stopping_ || nextToMake_ >= total || nextToMake_ < stored_ + ahead_;
            });
            if (stopping_ || nextToMake_ >= total)
                return;
            index = nextToMake_++;
        }
        ImportedPage page = maker.make(plan_.pages[std::size_t(index)]);
        QMetaObject::invokeMethod(
            this, [this, index, page = std::move(page)]() mutable { take(index, std::move(page)); },
            Qt::QueuedConnection);
    }
}

// Pages arrive in any order; each is stored once all before it are.
void BookImport::take(int index, ImportedPage page) {
    if (!running_)
        return;
    waiting_.emplace(index, std::move(page));
    for (auto next = waiting_.find(stored_); running_ && next != waiting_.end();
         next = waiting_.find(stored_)) {
        const ImportedPage ready = std::move(next->second);
        waiting_.erase(next);
        store(ready);
        {
            std::lock_guard lock(mutex_);
            ++stored_;
        }
        wake_.notify_all();
        if (!running_)
            return;
        Q_EMIT pageDone(progress());
    }
    if (stored_ == int(plan_.pages.size()))
        finish();
}

void BookImport::store(const ImportedPage& page) {
    if (!page.failure.isEmpty()) {
        summary_.skipped.append(QStringLiteral("%1 (%2)").arg(page.name, page.failure));
        return;
    }
    if (summary_.textWarning.isEmpty())
        summary_.textWarning = page.textWarning;
    // The book may have been closed meanwhile: never write a page into another one.
    if (!store_.hasBook() || store_.OpenedBookPath != bookPath_) {
        summary_.failure = QStringLiteral("the book was closed");
        return finish();
    }
    const database::Status status =
        store_.storeTopic({nextTopicNo_, page.name, page.text, page.jpeg, owner_, page.wordBoxes});
    if (status.code() == SQLITE_TOOBIG) {
        // Over the engine's limit for one value (1 GB): the page is left out, never stored
        // without its picture.
        summary_.skipped.append(QStringLiteral("%1 (too large for a book)").arg(page.name));
        return;
    }
    if (!status) {
        summary_.failure = status.message();
        return finish();
    }
    ++nextTopicNo_;
    ++summary_.imported;
}

ImportProgress BookImport::progress() const {
    ImportProgress now{stored_, int(plan_.pages.size()), 0, -1};
    const qint64 elapsed = std::max<qint64>(1, clock_.elapsed());
    if (stored_ > 0) {
        now.pagesPerMinute = stored_ * 60000.0 / double(elapsed);
        now.secondsLeft = int((now.total - stored_) * elapsed / stored_ / 1000);
    }
    return now;
}

void BookImport::cancel() {
    if (!running_)
        return;
    summary_.cancelled = true;
    finish();
}

void BookImport::finish() {
    if (!running_)
        return;
    running_ = false;
    store_.ImportingInto.clear();
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    for (const std::unique_ptr<recognition::ReadControl>& control : controls_)
        control->cancelled = true;
    wake_.notify_all();
    waiting_.clear();
    Q_EMIT finished(summary_);
}

void BookImport::stopWorkers() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    for (const std::unique_ptr<recognition::ReadControl>& control : controls_)
        control->cancelled = true;
    wake_.notify_all();
    for (const std::unique_ptr<QThread>& worker : workers_)
        worker->wait();
}

} // namespace folimar::import
