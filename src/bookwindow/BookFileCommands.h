#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace folimar::platform {
class Dialogs;
}
namespace folimar::reader {
class CharacterHost;
class SentenceReader;
struct ReaderState;
} // namespace folimar::reader
namespace folimar::settings {
struct Settings;
}
namespace folimar::store {
class BookStore;
}
namespace folimar::topics {
class PageView;
class TopicNavigation;
} // namespace folimar::topics

namespace folimar::bookwindow {

// The book window's File commands: Open, New, SaveAs, Merge and Prev, and the book a later
// start hands over. Each either ends at a question or a dialog with nothing changed, or
// switches books through the store and resets the windows.
class BookFileCommands {
public:
    // What the commands work on; all outlive them.
    struct Parts {
        settings::Settings& settings;
        QString& lastFolder; // where the file dialogs start
        store::BookStore& store;
        reader::ReaderState& state;
        reader::SentenceReader& reader;
        reader::CharacterHost& host;
        platform::Dialogs& dialogs;
        topics::PageView& page;
        topics::TopicNavigation& topics;
        QString programFolder; // where "temp.bmp" and "temp.jpg" live
    };
    // Calls to the reader window; an empty hook does nothing.
    struct Hooks {
        std::function<void(const QString& text)> setReaderText;
        std::function<void(const QString& caption)> setReaderCaption;
        std::function<void()> activateReader;
        std::function<QString()> readerText;
        // Stops the import writing into the open book; its stored pages stay.
        std::function<void()> stopImport;
    };

    BookFileCommands(Parts parts, Hooks hooks);

    void openBook();     // mnuOPen
    void newBook();      // mnuNew
    void saveBookAs();   // mnuSaveAs
    void mergeBook();    // mnuMerge
    void previousBook(); // mnuPrevF
    // A later start handed over `path`: opened as Open opens a book. The text is only
    // ever a path; one that names no file is refused with a message, one that names no
    // book gives the untitled book. An import into the open book is stopped only if the
    // user agrees.
    void openHandedOverBook(const QString& path);

    // Rebuilds the topic list from the book.
    void Doors_refresh3();

private:
    enum class Position { Reset, Keep };

    // The unsaved-page question, then the unsaved-untitled-book one; false on Cancel.
    bool confirmLeaving(const QString& dirtyPrompt, const QString& untitledPrompt);
    bool untitledHoldsTopics() const;
    bool isUntitled(const QString& path) const;
    void discardIfUntitled(const QString& path);
    enum class BookDialog { Open, SaveAs, Merge };
    QString askForBook(BookDialog dialog);
    // An import writing into the book keeps it open: "Can't <command> while ..." is said.
    bool refusedWhileImporting(const QString& command);
    void pauseReading();
    void rememberPrevious();
    void unloadAndClose();
    void switchBooks(const QString& oldPath, Position position);
    void afterLoad();
    void resumeAtNewBook();
    bool saveCopy(const QString& copyPath);
    // The page on screen while it holds edits not yet stored: its text and picture, and
    // the number and name it is to be stored under.
    struct EditedPage {
        QString text;
        QByteArray picture;
        QString number;
        QString name;
    };
    std::optional<EditedPage> editedPage() const;
    void showEditedPage(const EditedPage& page);
    bool sourceOwnerAllowsMerge();
    void showError(int number, const QString& description);

    Parts p_;
    Hooks hooks_;
};

} // namespace folimar::bookwindow
