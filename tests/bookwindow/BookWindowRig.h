#pragma once

#include "StandIns.h"
#include "bookwindow/BookWindow.h"
#include "bookwindow/PictureState.h"
#include "platform/paths/InstalledFiles.h"
#include "reader/CharacterHost.h"
#include "reader/ReaderState.h"
#include "reader/SentenceReader.h"
#include "reader/WindowArrangement.h"
#include "recognition/RecognitionSettings.h"
#include "settings/Settings.h"
#include "store/BookStore.h"
#include "support/ManualClock.h"
#include "support/ScriptedCharacterService.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <memory>

namespace folimar::testing {

// A book window over a fresh program folder and untitled book, with a stand-in topic list,
// converter launcher and reader window, and hooks that record what they were asked.
struct BookWindowRig {
    // Which converter a paste runs: a stand-in (installed as an empty "bmp2jpg" file in the
    // program folder), none at all, or the real one from the build.
    enum class Converter { StandIn, Missing, Real };

    // `drawing` draws the stored pictures (by default as the program does), its bound
    // measured on the rig's hand-driven clock.
    explicit BookWindowRig(QList<int> topicNumbers = {}, Converter converter = Converter::StandIn,
                           bookwindow::PictureDrawing::Options drawing = {}) {
        QDir().mkpath(program + QStringLiteral("/notes"));
        // A paste is read only in the tests about reading; they choose it themselves.
        recognition::RecognitionSettings{false, QStringLiteral("eng")}.save(
            file(QStringLiteral("recognition.conf")));
        store.StartStore();
        if (converter == Converter::StandIn) {
            QFile standIn(file(QStringLiteral("bmp2jpg")));
            standIn.open(QIODevice::WriteOnly);
        }
        const bool real = converter == Converter::Real;
        installed = std::make_unique<platform::InstalledFiles>(
            real ? QStringLiteral(FOLIMAR_BIN_DIR) : program);
        navigation = std::make_unique<StandInNavigation>(settings, std::move(topicNumbers));
        bookwindow::BookWindow::Hooks hooks;
        hooks.readerText = [this] { return readerText; };
        hooks.setReaderText = [this](const QString& text) { readerText = text; };
        hooks.showReaderPopup = [this](const QPoint& at) { popups << at; };
        hooks.openFind = [this](bool onPage) { asked << (onPage ? "find on page" : "find in doc"); };
        hooks.openReplace = [this] { asked << "replace"; };
        hooks.findNext = [this] { asked << "find next"; };
        hooks.quitRequested = [this] { ++quits; };
        hooks.openBook = [this] { asked << "open"; };
        hooks.readFrom = [this](int offset) { readFrom << offset; };
        hooks.takeRecognisedText = [this](const QString& text) {
            readerText = text;
            state.TopicDirty = true;
        };
        window = std::make_unique<bookwindow::BookWindow>(
            bookwindow::BookWindow::Services{
                settings, state, picture, store, reader, host, dialogs,
                real ? static_cast<platform::ProcessLauncher&>(realLauncher) : launcher,
                real ? static_cast<platform::Clock&>(steadyClock) : clock, *installed, program,
                file(QStringLiteral("recognition.conf")), std::move(drawing)},
            hooks);
        window->setTopicNavigation(navigation.get());
    }

    QString file(const QString& name) const { return program + QLatin1Char('/') + name; }
    // Pastes the clipboard's picture and waits until it is turned level and handed to the
    // converter, or the paste has ended without it.
    void paste() {
        const QPointer<StandInRun> before = launcher.last;
        QSignalSpy ended(window.get(), &bookwindow::BookWindow::pasteFinished);
        window->pastePicture();
        QVERIFY(QTest::qWaitFor(
            [&] { return (launcher.last && launcher.last != before) || !ended.isEmpty(); }));
    }
    // Both windows shown side by side, the reader window docked against the book window.
    void showWindows() {
        window->placeAtLoad();
        readerWindow.setGeometry(reader::ArrangeWindows(settings.WindowArrangement,
                                                        window->screen()->geometry())
                                     .reader);
        window->setReaderWindow(&readerWindow);
        window->show();
        readerWindow.show();
    }

    QTemporaryDir root;
    QString program = root.filePath(QStringLiteral("program"));
    settings::Settings settings;
    reader::ReaderState state;
    bookwindow::PictureState picture;
    ScriptedDialogs dialogs;
    ScriptedCharacterService service;
    ManualClock clock;
    StandInLauncher launcher;
    platform::QtProcessLauncher realLauncher;
    platform::SteadyClock steadyClock;
    store::BookStore store{settings, {program, program + QStringLiteral("/notes")}, dialogs};
    reader::CharacterHost host{state, settings, service, dialogs};
    reader::SentenceReader reader{state, settings, host, dialogs, clock};
    std::unique_ptr<platform::InstalledFiles> installed;
    std::unique_ptr<StandInNavigation> navigation;
    QWidget readerWindow;
    std::unique_ptr<bookwindow::BookWindow> window;

    QString readerText;
    QList<QPoint> popups;
    QList<int> readFrom; // where a click on the picture asked reading to go on from
    QStringList asked;
    int quits = 0;
};

} // namespace folimar::testing
