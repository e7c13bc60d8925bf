#pragma once

#include <QMainWindow>
#include <functional>

class QTextEdit;

namespace folimar::settings {
struct Settings;
}

namespace folimar::reader {

// The reader window (`Form1`): the current topic's text in `Text1`, where the sentence
// being spoken is highlighted, and the reading commands.
class ReaderWindow final : public QMainWindow {
    Q_OBJECT
public:
    struct Hooks {
        // Asked when the user closes the window; false keeps it open.
        std::function<bool()> closeRequested;
    };

    ReaderWindow(settings::Settings& settings, Hooks hooks, QWidget* parent = nullptr);

    QTextEdit* Text1 = nullptr;

    // Restores the saved place, or places the window by the arrangement.
    void placeAtLoad();
    void rememberGeometry();
    // The caption names the open book's file.
    void setBookCaption(const QString& bookPath);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    settings::Settings& settings_;
    Hooks hooks_;
};

} // namespace folimar::reader
