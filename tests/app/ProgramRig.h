#pragma once

#include "app/FolimarProgram.h"
#include "support/ScriptedCharacterService.h"
#include "support/ScriptedDialogs.h"
#include "support/StandInLauncher.h"

#include <QImage>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class QAction;
class QListWidget;
class QWidget;

namespace folimar::testing {

// The whole program as a user meets it, built offscreen over a private program folder, with
// scripted dialogs and a stand-in character. The scenarios drive it with keys, clicks, menu
// commands and the clipboard, then quit and read the files back.
class ProgramRig {
public:
    // Which picture converter a paste runs: the one built beside the program, or a stand-in
    // that ends when the test says so.
    enum class Converter { Real, StandIn };

    explicit ProgramRig(Converter converter = Converter::Real);
    ~ProgramRig();

    // Starts the program (on `book` when given) and stops the reading it starts with.
    void start(const QString& book = {});
    // Asks the program to end and waits until its files are closed and compacted.
    void quit();

    app::FolimarProgram& program() { return *program_; }
    QWidget& reader();
    QWidget& bookWindow();
    QWidget& topics();
    QWidget& notes();

    // ---- What a user does.
    void type(const QString& text); // into the reader's text
    // Types each page and stores it with F9, turning to a blank page with F6 between them:
    // the pages become topics 1, 2, 3, ...
    void writePages(const QStringList& pages);
    void key(QWidget& window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void press(int key) { this->key(reader(), key); }      // a reading key in the reader window
    // F1 in the reader window: the character that comes, its start-up request done (null
    // when none came).
    ScriptedCharacter* startReading();
    void command(QWidget& window, const char* actionName); // a menu item
    void click(const char* buttonName);                    // a topic manager button
    void clickEntry(int row, Qt::MouseButton button = Qt::LeftButton);
    void typeNote(const QString& text);
    void copyPicture(const QImage& picture);
    void pastePicture(); // the book window's Paste; the real converter is waited for
    // The stand-in converter ends, having written `picture` as the page's JPEG when it
    // succeeds. Returns the size of that JPEG.
    qint64 finishConversion(bool converted, const QImage& picture = {});

    // ---- What the user sees.
    QString readerText();
    QString noteText();
    QStringList entries(); // the topic list's names
    int shownEntry();      // the selected entry, -1 for none

    // ---- The files, read back after quit(): "TopicNo|TopicName" rows of the book, and
    // "TopicNo|NoteText" rows of its notes, in number order.
    QString bookPath() const;
    QString notesPath() const;
    QString workFile(const QString& name) const;
    static QStringList rows(const QString& file, const QString& sql);
    QStringList bookRows() const;
    QStringList noteRows() const;
    // The text and picture size of the stored topic numbered `topicNo` ("text|bytes").
    QString storedPage(int topicNo);

    QTemporaryDir root;
    ScriptedDialogs dialogs;
    ScriptedCharacterService characters;
    StandInLauncher launcher;

private:
    Converter converter_;
    QString bookPath_;
    std::unique_ptr<app::FolimarProgram> program_;
    bool finished_ = false;
};

} // namespace folimar::testing
