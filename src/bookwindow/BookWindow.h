#pragma once

#include <QMainWindow>

#include <functional>

namespace folimar::settings {
struct Settings;
}

namespace folimar::bookwindow {

// The book window (`Form2`): the page picture of the current topic and the book
// commands. It stands beside the reader window in one of the four arrangements.
class BookWindow final : public QMainWindow {
    Q_OBJECT
public:
    struct Hooks {
        // Asked when the user closes the window; false keeps it open.
        std::function<bool()> closeRequested;
    };

    BookWindow(settings::Settings& settings, Hooks hooks, QWidget* parent = nullptr);

    // Places the window from the saved geometry, or by the arrangement when none is saved.
    void placeAtLoad();
    // Stores the window's place and state in the settings.
    void rememberGeometry();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    settings::Settings& settings_;
    Hooks hooks_;
};

} // namespace folimar::bookwindow
