// F11 in the whole program: from the key to the caret on the next doubtful word and the
// page picture scrolled to its box (the character's speaking is a scripted stand-in, not
// part of the figure). Baseline: a plain key (Down) moving the caret in the same window.
// The page is a large scan shown at its natural size, its doubtful words a screen apart.
#include "BenchFigures.h"
#include "app/FolimarProgram.h"
#include "bookwindow/BookWindow.h"
#include "reader/ReaderWindow.h"
#include "reader/TextEditBox.h"
#include "recognition/WordBoxBlob.h"
#include "settings/Settings.h"
#include "store/BookStore.h"
#include "support/ScriptedCharacterService.h"
#include "support/ScriptedDialogs.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <cstdio>
#include <vector>

using namespace folimar;

namespace {

constexpr int Lines = 60;
constexpr int WordsPerLine = 10;
constexpr int DoubtfulEvery = 12; // lines between doubtful words, more than a screen

struct Book {
    QString path;
    QList<int> doubtful; // the doubtful words' offsets, in order
    QList<QRect> boxes;  // and their boxes
};

// A page of `Lines` lines of words on a 2480 x 3508 scan, its boxes where the lines are;
// the first word of every `DoubtfulEvery`-th line the recognition was unsure of.
Book makeBook(const QString& folder) {
    QImage picture(2480, 3508, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPG");
    recognition::PageText read;
    Book book;
    for (int line = 0; line < Lines; ++line) {
        for (int word = 0; word < WordsPerLine; ++word) {
            const QString spelt = QStringLiteral("word");
            const bool doubtful = word == 0 && line % DoubtfulEvery == DoubtfulEvery - 1;
            const QRect box(150 + word * 220, 150 + line * 55, 200, 40);
            if (doubtful) {
                book.doubtful.append(int(read.text.size()));
                book.boxes.append(box);
            }
            read.words.append(
                {box, qint32(read.text.size()), qint32(spelt.size()), doubtful ? 5 : 96});
            read.text +=
                spelt + (word + 1 < WordsPerLine ? QStringLiteral(" ") : QStringLiteral(".\n"));
        }
    }
    QTemporaryDir scratch;
    settings::Settings settings;
    testing::ScriptedDialogs dialogs;
    store::BookStore maker{settings, {scratch.path(), scratch.path()}, dialogs};
    maker.LoadBook();
    maker.storeTopic({1, QStringLiteral("Page"), read.text, jpeg, std::nullopt,
                      recognition::encodeWordBoxes(read)});
    maker.CloseAndCompactBook();
    book.path = folder + QStringLiteral("/Scan.fmr");
    QFile::rename(maker.untitledBookPath(), book.path);
    return book;
}

double timedKey(QWidget* target, Qt::Key key) {
    return bench::elapsedMs([&] {
        QTest::keyClick(target, key);
        QApplication::processEvents(); // what the key made due is done, painting included
    });
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toUtf8());
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
    const Book book = makeBook(home.path());

    testing::ScriptedDialogs dialogs;
    testing::ScriptedCharacterService characters;
    app::FolimarProgram::Options options;
    options.registryStorePath = home.filePath(QStringLiteral("registry.reg"));
    options.dialogs = &dialogs;
    options.characters = &characters;
    app::FolimarProgram program(options);
    program.StartProgram({book.path});
    program.readerWindow().findChild<QAction*>(QStringLiteral("mnuStop"))->trigger();
    // The reading the start began ends: its sentence is said.
    characters.last()->completeAll();
    QApplication::processEvents();
    bookwindow::BookWindow& scan = program.bookWindow();
    scan.zoomNatural();
    QApplication::processEvents();
    QWidget* keys = program.readerWindow().Text1;
    reader::TextEditBox& caret = program.readerWindow().textBox();

    std::vector<double> walks;
    std::vector<double> plain;
    for (int round = 0; round < 8; ++round) {
        caret.setSelectionStart(0);
        QApplication::processEvents();
        for (qsizetype i = 0; i < book.doubtful.size(); ++i) {
            walks.push_back(timedKey(keys, Qt::Key_F11));
            // The picture is shown at its natural size: the box's place on it is its place
            // in the picture's label.
            const QRect shown(scan.Image1->mapTo(&scan, book.boxes[i].topLeft()),
                              book.boxes[i].size());
            if (caret.selectionStart() != book.doubtful[i] || !scan.rect().contains(shown)) {
                std::fprintf(stderr, "F11 did not reach the word at %d (caret %d, scroll %d)\n",
                             book.doubtful[i], caret.selectionStart(), scan.VScroll1->value());
                return 1;
            }
            const int before = caret.selectionStart();
            plain.push_back(timedKey(keys, Qt::Key_Down));
            if (caret.selectionStart() == before) {
                std::fprintf(stderr, "Down did not move the caret\n");
                return 1;
            }
        }
    }
    bench::report("proofreading.next_word", bench::median(walks));
    bench::report("proofreading.next_word", bench::median(plain), true);
    program.requestQuit();
    QApplication::processEvents();
    return 0;
}
