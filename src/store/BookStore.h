#pragma once

#include "platform/database/Database.h"
#include "platform/database/FileLock.h"
#include "platform/database/View.h"
#include "platform/database/Workspace.h"
#include "store/BookFiles.h"
#include "store/StoreLocations.h"
#include "store/TextCache.h"
#include "store/TopicRecords.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <future>
#include <memory>
#include <optional>

namespace folimar::platform {
class Dialogs;
struct MessageRequest;
} // namespace folimar::platform

namespace folimar::settings {
struct Settings;
}

namespace folimar::store {

// The open book, its notes file and, during a merge, a second book; and every write to
// any of them. Books are edited in place and compacted when closed after a change.
//
// Lifecycle (as the book commands use it):
//   StartStore() once; then, to switch books: CloseAndCompactBook(), set
//   settings.BookPath, LoadBook(). Outcomes are read from the state below; only
//   "1st save your file" is ever shown.
// A file that is not a book, or has another password, opens as "no book": the views
// stay unset (null), ReadOnlyMode is set, every read gives an empty result and the file
// is never written.
//
// One book is open for writing in one program at a time: the store holds a lock on the
// open book (and on a file it compacts). A book another program holds opens read-only
// (OpenElsewhere tells the program to say so) and is never compacted here.
//
// Writes: the topic operations below each run as one transaction (all or nothing) and
// set BookModified; those that number, remove or add topics take the notes along in the
// same transaction (the notes file is attached to the book's connection for them); they fail on a
// read-only book or with no book open. Topic numbers are 16-bit: a number outside -32768..32767 is
// refused, never wrapped. Whether the user may edit (read-only book, another user's book) is asked
// with mayEdit() first.
class BookStore {
public:
    BookStore(settings::Settings& settings, StoreLocations locations, platform::Dialogs& dialogs);
    ~BookStore(); // closes whatever is open, without compacting
    BookStore(const BookStore&) = delete;
    BookStore& operator=(const BookStore&) = delete;

    // ---- State. BookPath is settings field 1 (settings().BookPath).
    QString OpenedBookPath;     // the file LoadBook opened; CloseAndCompactBook works on it
    QString NotesPath;          // the open notes file
    QString MergePath;          // set by the merge command before OpenMergeSource()
    bool ReadOnlyMode = false;  // the book could not be opened for writing
    bool OpenElsewhere = false; // another program has the book open: it is read-only here
    QString ImportingInto;      // the book an import adds pages to: only the import writes to it
    bool BookModified = false;  // set after any write to the book; cleared by OpenBook
    bool NotesModified = false; // set after any write to notes; never cleared
    QString BookOwner;          // `u` of the first record in TopicNo order, once read

    // ---- Views; null while unset. Callers writing through BookTable/BookByName set
    // BookModified themselves (the operations below do it for them).
    database::View* BookTable() const { return bookTable_.get(); }
    database::View* BookByName() const { return bookByName_.get(); }
    database::View* NotesTable() const { return notesTable_.get(); }
    database::View* MergeTable() const { return mergeTable_.get(); }
    bool hasBook() const { return bookTable_ != nullptr; }
    // Moves on at every close of a book and every write to it: what was read from the
    // book under an older generation is stale.
    quint64 generation() const { return generation_; }

    // ---- Operations.
    void StartStore();           // LoadBook() for the first time
    void LoadBook();             // opens BookPath, the untitled book when it is empty or
                                 // missing; creates the untitled book when needed
    void OpenBook();             // opens BookPath (writable or as snapshots) and its notes
    void OpenNotes();            // opens (creating) the notes file of BookPath
    void CloseAndCompactBook();  // closes; compacts the book if modified, else the notes
    void CloseAndCompactNotes(); // closes the notes; compacts them if modified
    void OpenMergeSource();      // opens MergePath as MergeTable
    void CloseMergeSource();
    void AddMarkerFields(); // adds dtype, web, u, y, yy where missing, then reopens
    // Begins opening `path` (and its notes) on worker threads, to be taken by the next
    // OpenBook() of that path while the open book is closed and compacted meanwhile.
    // Does nothing when `path` is no file, or it or its notes are the open book's files.
    void prepareOpening(const QString& path);

    // ---- Paths and rules.
    QString untitledBookPath() const;                // ProgramFolder + "/untitled.fmr"
    QString notesPathFor(const QString& book) const; // NotesFolder + "/" + base name + ".nts"
    settings::Settings& settings() const { return settings_; }

    // The message an editing command shows instead of editing ("File opened as Read
    // Only", then "Cant edit another users document"; critical icon, OK; then the word
    // that an import is running), or none.
    std::optional<platform::MessageRequest> editRefusal() const;
    // Shows editRefusal() when there is one; true when editing may go on.
    bool mayEdit();
    // An import is adding pages to the open book: only it may write to the book.
    bool importingIntoOpenBook() const {
        return !ImportingInto.isEmpty() && ImportingInto == OpenedBookPath;
    }
    // The word shown once a book has opened that another program holds (it is read-only
    // here), or none.
    std::optional<platform::MessageRequest> openElsewhereNotice() const;

    // ---- Reading the book (empty results with no book).
    QList<TopicEntry> topicList();    // TopicNo, TopicName in TopicNo order
    QList<TopicEntry> topicsByName(); // the same in name order (as BookByName)
    // The first topic numbered `topicNo`, with its picture when `withPicture`.
    std::optional<TopicPage> readTopic(int topicNo, bool withPicture = true);
    // Every topic's number, name and text (no pictures), in TopicNo order. Kept after the
    // first read until the book changes.
    QList<TopicPage> topicTexts();
    // The word boxes kept with the first topic numbered `topicNo`; empty for none.
    QByteArray topicWordBoxes(int topicNo);
    std::optional<int> highestTopicNo();
    // Whether the book has the five short text fields (books made before them lack them).
    bool hasMarkerFields();
    // `u` of the first record in TopicNo order; empty for none, no book or no field.
    QString firstRecordOwner();

    // ---- Writing the book; each one transaction.
    // Adds the topic, or overwrites TopicName, PicText, PicData (and `u` when an owner
    // is given) of the first topic with its number. `added` tells which.
    database::Status storeTopic(const TopicWrite& topic, bool* added = nullptr);
    // Deletes the first topic of each number; numbers without a topic are skipped. A
    // number no topic holds any more loses its note.
    database::Status deleteTopics(const QList<int>& topicNumbers);
    // Moves every topic from `position` (0-based, in TopicNo order) on up by one number,
    // then adds a topic numbered `topicNo` and named `topicName`. Notes move with their
    // topics.
    database::Status insertTopic(int position, int topicNo, const QString& topicName);
    // Numbers all topics 1, 2, 3, ... in their TopicNo order, and their notes with them.
    database::Status renumberTopics();
    // Sets `u` of the first record; BookOwner := userName.
    database::Status stampOwner(const QString& userName);
    // Appends every topic of the merge source, in its TopicNo order, numbered on from the
    // book's highest number (from 1 in an empty book), with name, text, note and picture,
    // and the notes of the source's notes file numbered as their topics; the source's own
    // words join the book's.
    database::Status mergeSource(int* added = nullptr);
    // Replaces every occurrence of `find` in every topic's text, going on behind each
    // inserted replacement; `count` receives the number of replacements.
    database::Status replaceInTexts(const QString& find, const QString& replacement,
                                    Qt::CaseSensitivity sensitivity, int* count = nullptr);

    // ---- The book's own words, that proof-reading never doubts (names, terms): kept in a
    // table of their own ("BookWords"), made with the first word; books without it have none.
    QStringList bookWords();
    // Adds `word` (trimmed, not empty) unless the book has it already.
    database::Status addBookWord(const QString& word);

    // ---- Notes.
    std::optional<QString> readNote(int topicNo);
    // Adds or overwrites the note of `topicNo`; sets NotesModified.
    database::Status writeNote(int topicNo, const QString& topicName, const QString& noteText);
    QList<NoteEntry> notes(); // in TopicNo order

private:
    database::Statement* bookStatement(const QString& sql);
    database::Status writeBook(const std::function<database::Status(database::Connection&)>& work,
                               const bool* changed = nullptr);
    QList<TopicEntry> topicEntries(const QString& sql);

    // A book being opened: its lock is taken before the engine opens the file.
    struct Opening {
        QString path;
        std::unique_ptr<database::FileLock> lock; // null when another program holds it
        bool elsewhere = false;                   // another program holds the book
        QString notesPath;
        std::future<OpenedBook> book;
        std::future<OpenedNotes> notes;
    };
    // Takes (or keeps) the lock on `path` and begins opening the book and its notes; the
    // book opens on a worker thread when `ahead`, else when the opening is adopted.
    Opening startOpening(const QString& path, bool ahead);
    void adoptOpening(Opening opening);
    // Sets NotesPath and opens (creating) that file on a second thread.
    // Opened read-only, and never created, unless `mayWrite`.
    std::future<OpenedNotes> beginOpenNotes(bool mayWrite);
    void adoptNotes(OpenedNotes opening);

    void closeBook();
    void closeNotes();
    void compactFile(const QString& opened);
    database::Status bookWritable();
    // Attaches the notes file to the book's connection (once per book); false when the
    // notes cannot be written, and the book's changes then go on without them.
    bool attachNotes();
    QList<NoteEntry> mergeSourceNotes();
    void afterBookWrite();

    settings::Settings& settings_;
    StoreLocations locations_;
    platform::Dialogs& dialogs_;
    database::Workspace workspace_;

    std::unique_ptr<database::FileLock> bookLock_;
    std::unique_ptr<database::Database> book_;
    std::unique_ptr<database::View> bookTable_;
    std::unique_ptr<database::View> bookByName_;
    TextCache texts_;
    std::unique_ptr<database::Database> notes_;
    std::unique_ptr<database::View> notesTable_;
    bool notesAttached_ = false;
    quint64 generation_ = 0;
    std::unique_ptr<database::Database> merge_;
    std::unique_ptr<database::View> mergeTable_;
    std::optional<Opening> ahead_; // see prepareOpening()
};

} // namespace folimar::store
