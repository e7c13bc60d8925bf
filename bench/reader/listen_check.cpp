// A listening check: reads a text file aloud with the desktop character, printing each
// sentence as it is highlighted, and ends when the text has been read.
//   folimar-listen FILE [CHARACTER]
#include "platform/character/DesktopCharacterService.h"
#include "platform/clock/Clock.h"
#include "platform/desktop/WidgetDialogs.h"
#include "reader/CharacterHost.h"
#include "reader/MemoryTextBox.h"
#include "reader/ReaderState.h"
#include "reader/SentenceReader.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QTimer>
#include <cstdio>

using namespace folimar;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: folimar-listen FILE [CHARACTER]\n");
        return 2;
    }
    QFile file(args[1]);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "cannot read %s: %s\n", qPrintable(args[1]),
                     qPrintable(file.errorString()));
        return 1;
    }
    const QString text = QString::fromUtf8(file.readAll());

    reader::ReaderState state;
    settings::Settings settings;
    if (args.size() > 2)
        settings.CharacterPath = args[2];
    character::DesktopCharacterService service;
    platform::WidgetDialogs dialogs;
    platform::SteadyClock clock;
    reader::MemoryTextBox box(text);
    reader::CharacterHost host(state, settings, service, dialogs);
    host.setProgramTitle(QStringLiteral("folimar-listen"));
    host.setAnchorWindow([] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen
                   ? reader::AnchorFrame{screen->availableGeometry(), screen->logicalDotsPerInch(),
                                         screen->availableGeometry()}
                   : reader::AnchorFrame{};
    });
    reader::SentenceReader reader(state, settings, host, dialogs, clock);
    reader.setTextBox(&box);

    int exitCode = 0;
    reader.setCharacterMissingNotice([&] {
        std::fprintf(stderr, "no character could be loaded from \"%s\"\n",
                     qPrintable(settings.CharacterPath));
        exitCode = 1;
    });
    QObject::connect(&reader, &reader::SentenceReader::sentenceQueued,
                     [](int start, const QString& sentence) {
                         std::printf("%6d  %s\n", start, qPrintable(sentence.simplified()));
                         std::fflush(stdout);
                     });

    reader.PlayReading();
    if (!reader.isReading())
        return text.isEmpty() ? 0 : exitCode;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!reader.isReading())
            app.quit();
    });
    watch.start(250);
    return app.exec();
}
