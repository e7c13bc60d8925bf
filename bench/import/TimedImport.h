#pragma once

#include "import/BookImport.h"
#include "recognition/RecognitionLanguages.h"
#include "settings/Settings.h"
#include "store/BookStore.h"
#include "support/ScriptedDialogs.h"

#include <QElapsedTimer>
#include <QEventLoop>

namespace folimar::bench {

struct Imported {
    int pages = 0;
    double ms = 0; // from the start to the last page stored; opening and compacting the book
                   // are not counted
};

// Imports `file` into a fresh untitled book in `folder`, recognising pictures in
// `languages` (none: pages with a text layer only).
inline Imported importInto(const QString& folder, const QString& file, const QString& languages) {
    settings::Settings settings;
    testing::ScriptedDialogs dialogs;
    store::BookStore store(settings, {folder, folder}, dialogs);
    store.StartStore();
    Imported imported;
    QElapsedTimer clock;
    clock.start();
    import::BookImport run(store, import::planImport({file}, {}),
                           {{75, recognition::tessdataFolder(), languages}, {}, 0});
    QEventLoop loop;
    QObject::connect(&run, &import::BookImport::finished, &loop,
                     [&](const import::ImportSummary& summary) {
                         imported = {summary.imported, double(clock.nsecsElapsed()) / 1e6};
                         loop.quit();
                     });
    if (run.start() != import::BookImport::Start::Started)
        return imported;
    loop.exec();
    store.CloseAndCompactBook();
    return imported;
}

} // namespace folimar::bench
