#pragma once

#include "bookwindow/ImportProgressWindow.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QTimer;
class QWidget;

namespace folimar::import {
class BookImport;
struct ImportSummary;
} // namespace folimar::import
namespace folimar::platform {
class Dialogs;
}
namespace folimar::reader {
struct ReaderState;
}
namespace folimar::settings {
struct Settings;
}
namespace folimar::store {
class BookStore;
}
namespace folimar::topics {
class TopicNavigation;
}

namespace folimar::bookwindow {

// File > Import: asks for PDFs, pictures or a folder of scans, and adds their pages to the
// open book while the user reads on, with a progress window and a summary at the end. The
// topic list follows as pages arrive.
class BookImportCommand final : public QObject {
    Q_OBJECT
public:
    struct Parts {
        settings::Settings& settings;
        QString& lastFolder; // where the file dialogs start
        store::BookStore& store;
        reader::ReaderState& state;
        platform::Dialogs& dialogs;
        topics::TopicNavigation& topics;
        QString recognitionSettingsPath; // the user's recognition languages
        QWidget* window = nullptr;       // the progress window's owner
        QString pdfHelper;               // what reads PDF pages; empty for the installed one
    };
    // Called as pages arrive (throttled) and once the import ends.
    using PagesArrived = std::function<void()>;

    BookImportCommand(Parts parts, PagesArrived pagesArrived, QObject* parent = nullptr);
    ~BookImportCommand() override;

    void importFiles();  // mnuImport
    void importFolder(); // mnuImportFolder
    // Imports `paths` (PDFs, pictures, folders) into the open book.
    void importPaths(const QStringList& paths);
    bool isRunning() const;
    void cancel();
    // The program ends: stops the import without a summary; the stored pages stay.
    void abandon();

    ImportProgressWindow* progressWindow() const { return progress_; }

    // How often the topic list is rebuilt while pages arrive.
    static constexpr int RefreshMs = 700;

private:
    bool mayStart();
    void ended(const import::ImportSummary& summary);
    void refreshList();

    Parts p_;
    PagesArrived pagesArrived_;
    std::unique_ptr<import::BookImport> import_;
    QPointer<ImportProgressWindow> progress_; // owned by the window it belongs to
    QTimer* refresh_ = nullptr;
};

} // namespace folimar::bookwindow
