#include "ProgramRig.h"

#include "bookwindow/BookWindow.h"
#include "reader/ReaderWindow.h"
#include "settings/Settings.h"
#include "store/BookStore.h"
#include "topics/NotesWindow.h"
#include "topics/TopicListBox.h"
#include "topics/TopicManager.h"

#include <QAction>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>

namespace folimar::testing {

ProgramRig::ProgramRig(Converter converter) : converter_(converter) {
    // The program's folders live in the test's own folder.
    qputenv("XDG_DATA_HOME", root.filePath(QStringLiteral("data")).toUtf8());
    qputenv("XDG_CONFIG_HOME", root.filePath(QStringLiteral("config")).toUtf8());
    app::FolimarProgram::Options options;
    options.registryStorePath = root.filePath(QStringLiteral("registry.reg"));
    options.dialogs = &dialogs;
    options.characters = &characters;
    options.launcher = converter == Converter::StandIn ? &launcher : nullptr;
    options.installedFolder = QStringLiteral(FOLIMAR_BIN_DIR);
    program_ = std::make_unique<app::FolimarProgram>(options);
    QObject::connect(program_.get(), &app::FolimarProgram::finished, [this] { finished_ = true; });
}

ProgramRig::~ProgramRig() {
    if (program_ && !finished_)
        quit();
}

void ProgramRig::start(const QString& book) {
    QStringList arguments;
    if (!book.isEmpty())
        arguments << book;
    program_->StartProgram(arguments);
    command(reader(), "mnuStop");
}

void ProgramRig::quit() {
    bookPath_ = program_->settings().BookPath;
    program_->requestQuit();
    QTRY_VERIFY_WITH_TIMEOUT(finished_, 10000);
}

QWidget& ProgramRig::reader() {
    return program_->readerWindow();
}

QWidget& ProgramRig::bookWindow() {
    return program_->bookWindow();
}

QWidget& ProgramRig::topics() {
    return program_->topicManager();
}

QWidget& ProgramRig::notes() {
    return program_->topicManager().notesWindow();
}

void ProgramRig::type(const QString& text) {
    QTest::keyClicks(program_->readerWindow().Text1, text);
}

ScriptedCharacter* ProgramRig::startReading() {
    press(Qt::Key_F1);
    ScriptedCharacter* character = characters.last();
    if (character)
        character->completeAll();
    return character;
}

void ProgramRig::writePages(const QStringList& pages) {
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i > 0)
            press(Qt::Key_F6);
        type(pages[i]);
        press(Qt::Key_F9);
    }
}

// The key goes to the control that has the window's focus, as it does on a desktop.
void ProgramRig::key(QWidget& window, int key, Qt::KeyboardModifiers modifiers) {
    QWidget* target = window.focusWidget() ? window.focusWidget() : &window;
    QTest::keyClick(target, Qt::Key(key), modifiers);
}

void ProgramRig::command(QWidget& window, const char* actionName) {
    auto* action = window.findChild<QAction*>(QLatin1String(actionName));
    QVERIFY2(action, actionName);
    action->trigger();
}

void ProgramRig::click(const char* buttonName) {
    auto* button = topics().findChild<QPushButton*>(QLatin1String(buttonName));
    QVERIFY2(button, buttonName);
    QTest::mouseClick(button, Qt::LeftButton);
}

void ProgramRig::clickEntry(int row, Qt::MouseButton button) {
    topics::TopicListBox* list = program_->topicManager().DispLstBx;
    QVERIFY(list->item(row));
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), button, {}, at);
}

void ProgramRig::typeNote(const QString& text) {
    if (!notes().isVisible())
        click("SSCommand6");
    QTest::keyClick(program_->topicManager().notesWindow().Text1, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(program_->topicManager().notesWindow().Text1, text);
}

void ProgramRig::copyPicture(const QImage& picture) {
    QGuiApplication::clipboard()->setImage(picture);
}

void ProgramRig::pastePicture() {
    QSignalSpy finished(&program_->bookWindow(), &bookwindow::BookWindow::pasteFinished);
    const QPointer<StandInRun> before = launcher.last;
    command(bookWindow(), "mnuPaste");
    if (converter_ == Converter::Real) {
        if (finished.isEmpty())
            QVERIFY(finished.wait(10000));
        return;
    }
    // The picture is turned level on a worker before the converter is started.
    QVERIFY(QTest::qWaitFor(
        [&] { return (launcher.last && launcher.last != before) || !finished.isEmpty(); }));
}

qint64 ProgramRig::finishConversion(bool converted, const QImage& picture) {
    const QString jpeg = workFile(QStringLiteral("temp.jpg"));
    if (converted)
        picture.save(jpeg, "JPG");
    if (launcher.last)
        launcher.last->end(converted);
    return converted ? QFileInfo(jpeg).size() : 0;
}

QString ProgramRig::readerText() {
    return program_->readerWindow().Text1->toPlainText();
}

QString ProgramRig::noteText() {
    return program_->topicManager().notesWindow().Text1->toPlainText();
}

QStringList ProgramRig::entries() {
    QStringList names;
    topics::TopicListBox* list = program_->topicManager().DispLstBx;
    for (int row = 0; row < list->count(); ++row)
        names << list->item(row)->text();
    return names;
}

int ProgramRig::shownEntry() {
    topics::TopicListBox* list = program_->topicManager().DispLstBx;
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.size() == 1 ? list->row(selected.front()) : -1;
}

QString ProgramRig::bookPath() const {
    return bookPath_.isEmpty() ? program_->settings().BookPath : bookPath_;
}

QString ProgramRig::notesPath() const {
    return program_->store().notesPathFor(bookPath());
}

QString ProgramRig::workFile(const QString& name) const {
    return program_->locations().WorkFolder + QLatin1Char('/') + name;
}

// Through the sqlcipher shell, as anyone holding the file and its key sees it.
QStringList ProgramRig::rows(const QString& file, const QString& sql) {
    QProcess shell;
    shell.start(QStringLiteral("sqlcipher"), {QStringLiteral("-batch"), file});
    if (!shell.waitForStarted())
        return {QStringLiteral("no sqlcipher shell")};
    shell.write("PRAGMA key = '58K31pR';\n");
    shell.write(sql.toUtf8() + ";\n");
    shell.closeWriteChannel();
    shell.waitForFinished();
    QStringList lines = QString::fromUtf8(shell.readAllStandardOutput())
                            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    lines.removeAll(QStringLiteral("ok")); // newer shells answer the key
    return lines + QString::fromUtf8(shell.readAllStandardError())
                       .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList ProgramRig::bookRows() const {
    return rows(bookPath(),
                QStringLiteral("SELECT TopicNo, TopicName FROM Sitedata ORDER BY TopicNo, rowid"));
}

QStringList ProgramRig::noteRows() const {
    return rows(notesPath(), QStringLiteral("SELECT TopicNo, NoteText FROM Sitedata WHERE "
                                            "NoteText <> '' ORDER BY TopicNo, rowid"));
}

QString ProgramRig::storedPage(int topicNo) {
    settings::Settings settings;
    settings.BookPath = bookPath();
    store::BookStore store(settings,
                           {program_->locations().ProgramFolder, program_->locations().NotesFolder},
                           dialogs);
    store.StartStore();
    const std::optional<store::TopicPage> page = store.readTopic(topicNo);
    return page ? page->PicText + QLatin1Char('|') + QString::number(page->PicData.size())
                : QStringLiteral("none");
}

} // namespace folimar::testing
