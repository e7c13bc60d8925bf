#pragma once

#include "platform/desktop/WidgetDialogs.h"
#include "platform/paths/ProgramLocations.h"
#include "platform/termination/TerminationSignals.h"
#include "settings/Settings.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

namespace folimar::store {
class BookStore;
}
namespace folimar::reader {
class ReaderWindow;
}
namespace folimar::bookwindow {
class BookWindow;
}

namespace folimar::app {

// Folimar as a whole: owns the settings, the book store and the windows, runs start-up,
// and ends the program through one shutdown step however the end was asked for.
class FolimarProgram final : public QObject {
    Q_OBJECT
public:
    struct Options {
        QString registryStorePath;                  // the .reg store with the App Paths value
        // Hands a book to an instance that already runs; false when none answers.
        std::function<bool(const QString& bookPath)> handOverToRunningInstance;
    };

    explicit FolimarProgram(Options options, QObject* parent = nullptr);
    ~FolimarProgram() override;

    // The start-up steps. False when this start handed its book to a running instance
    // and is to end at once.
    bool StartProgram(const QStringList& arguments);

    // Asks the program to save its settings, close and compact the book, and end.
    void requestQuit();

    settings::Settings& settings() { return settings_; }
    const platform::ProgramLocations& locations() const { return locations_; }
    store::BookStore& store() { return *store_; }
    reader::ReaderWindow& readerWindow() { return *readerWindow_; }
    bookwindow::BookWindow& bookWindow() { return *bookWindow_; }

Q_SIGNALS:
    // The settings are written and the book closed; the event loop may end.
    void finished();

private:
    void createWindows();
    void showWindowsInArrangementOrder();
    bool closeRequested();
    void shutdownStep();

    Options options_;
    settings::Settings settings_;
    platform::ProgramLocations locations_;
    platform::WidgetDialogs dialogs_;
    platform::TerminationSignals termination_;
    std::unique_ptr<store::BookStore> store_;
    std::unique_ptr<reader::ReaderWindow> readerWindow_;
    std::unique_ptr<bookwindow::BookWindow> bookWindow_;
    QString StartupText;
    bool QuitRequested = false;
    bool shutDown_ = false;
};

} // namespace folimar::app
