#pragma once

#include "bookexport/BookFormat.h"
#include "reader/ExportWindow.h"

#include <functional>

class QCheckBox;

namespace folimar::platform {
class Dialogs;
}
namespace folimar::store {
class BookStore;
}
namespace folimar::bookexport {
class BookExportJob;
}

namespace folimar::bookwindow {

// File > Export: the whole book or a range of topics, the file asked for through the
// dialogs, then the export with its progress and Cancel. The saving runs on another
// thread; closing the window cancels it, and a cancelled export keeps any older file.
class BookExportWindow final : public reader::ExportWindow {
    Q_OBJECT
public:
    // `choices` gives the user's reading choices at each save.
    BookExportWindow(bookexport::BookFormat format, store::BookStore& store,
                     platform::Dialogs& dialogs,
                     std::function<bookexport::ReadAlongChoices()> choices,
                     QWidget* parent = nullptr);
    ~BookExportWindow() override;

    // Shows the window with the book's topic numbers as the range's bounds.
    void open();
    // Asks for the file and starts the export of the chosen topics.
    void save();

    QCheckBox* chkPictures = nullptr; // a read-along book's only; off until ticked

private:
    void finished(const bookexport::BookExportOutcome& outcome);
    void setExporting(bool exporting);

    bookexport::BookFormat format_;
    store::BookStore& store_;
    platform::Dialogs& dialogs_;
    std::function<bookexport::ReadAlongChoices()> choices_;
    bookexport::BookExportJob* job_ = nullptr;
};

} // namespace folimar::bookwindow
