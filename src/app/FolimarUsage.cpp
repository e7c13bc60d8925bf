#include "app/FolimarUsage.h"

#include "platform/commandline/SharedUsage.h"

namespace folimar::app {

namespace {

QList<platform::UsageItem> files() {
    QList<platform::UsageItem> items{
        {QStringLiteral("~/.local/share/folimar/"),
         QStringLiteral("the program folder: settings, the untitled book and working files, "
                        "unless registry.reg names another")},
        {QStringLiteral("~/.local/share/folimar/Folimar.ini"), QStringLiteral("the settings")},
        {QStringLiteral("~/.local/share/folimar/untitled.fmr"),
         QStringLiteral("the book opened when none is named")},
        {QStringLiteral("~/.local/share/folimar/notes/"), QStringLiteral("the books' notes")}};
    items += platform::sharedUsageFiles();
    items += {{QStringLiteral("~/.config/folimar/recognition.conf"),
               QStringLiteral("whether a pasted picture's text is read, and in which languages")},
              {QStringLiteral("/usr/share/folimar/"),
               QStringLiteral("the help text and the characters that come with Folimar (beside "
                              "the program when it runs from a build folder)")},
              {QStringLiteral("/usr/libexec/folimar/bmp2jpg"),
               QStringLiteral("the converter of pasted page pictures")}};
    return items;
}

QList<platform::UsageItem> environment() {
    QList<platform::UsageItem> items = platform::sharedUsageEnvironment();
    items += {{QStringLiteral("XDG_RUNTIME_DIR"),
               QStringLiteral("where the running Folimar listens for books handed over by later "
                              "starts; without it, a private folder in the temporary folder")},
              {QStringLiteral("TESSDATA_PREFIX"),
               QStringLiteral("the folder of the text recognition languages (default "
                              "/usr/share/tesseract-ocr/5/tessdata)")}};
    return items;
}

} // namespace

platform::ProgramUsage FolimarUsage() {
    return {QStringLiteral("folimar"),
            QStringLiteral("Folimar"),
            QStringLiteral("make books of scanned pages and listen to them read aloud"),
            QStringLiteral("[BOOK.fmr]"),
            {QStringLiteral(
                 "Folimar opens BOOK.fmr, or without one the untitled book in its program folder. "
                 "Each page of a book holds a picture, its text and a note; a speaking character "
                 "reads the text aloud sentence by sentence. Help, Topics in the reader window "
                 "explains how a book is made."),
             QStringLiteral(
                 "A start that names a book while Folimar runs hands the book to the running "
                 "program and ends. The words after the options make up the book's path, so a "
                 "path with spaces needs no quotes; when they name no existing file, commas and "
                 "tabs separate paths. Put \"--\" in front of a path that starts with \"-\"."),
             QStringLiteral(
                 "folimar --audio BOOK.fmr OUT.opus [--topics FIRST-LAST] saves the book as sound "
                 "instead, read by espeak-ng with the chosen voice, and ends: one Ogg Opus file "
                 "with a chapter per topic (OUT.wav makes a WAV file without chapters), the whole "
                 "book or the topics numbered FIRST to LAST. No window opens; the progress is "
                 "shown on the terminal. The file appears only when it is complete. Exit status: "
                 "0 saved, 1 failed, 2 a wrong command line, 128 + the signal's number when "
                 "interrupted."),
             QStringLiteral(
                 "folimar --export BOOK.fmr OUT.pdf [--topics FIRST-LAST] [--verbose] saves the "
                 "book, or the topics numbered FIRST to LAST, as a searchable PDF and ends: each "
                 "page's picture as it is stored with its text invisible over the words, a page "
                 "of text for a topic without a picture. OUT.epub makes a read-along EPUB 3 "
                 "instead: each topic's text with its sound, read by espeak-ng with the chosen "
                 "voice, each sentence shown as it is spoken (--pictures adds the page "
                 "pictures). --verbose names each topic as it is saved. The file appears only "
                 "when it is complete, and an older file under its name stays until then. Exit "
                 "status: 0 saved, 1 failed, 2 a wrong command line, 128 + the signal's number "
                 "when interrupted."),
             QStringLiteral(
                 "folimar --import FILE... [--into BOOK.fmr] adds the pages of PDFs, pictures "
                 "and folders of scans to the book (by default the one Folimar had open last) "
                 "without opening a window, and writes its progress on the terminal. A book "
                 "that a running Folimar holds is refused; Ctrl+C ends the import and keeps the "
                 "pages stored so far.")},
            files(),
            environment()};
}

} // namespace folimar::app
