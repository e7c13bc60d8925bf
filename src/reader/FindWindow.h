#pragma once

#include <QWidget>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace folimar::settings {
struct Settings;
}

namespace folimar::reader {

class TextFinder;

// The find window (`Form5`): the text to find, the direction (shown, searching always
// runs forward), "Match Case", and Find Next in the scope its caption names, "Find on
// Page" or "Find in Doc". Ctrl+F and Ctrl+D switch the scope, Ctrl+T opens Replace,
// Ctrl+G and Enter find the next match; closing it (Escape, the close box, "Cancel")
// only hides it.
class FindWindow final : public QWidget {
    Q_OBJECT
public:
    struct Hooks {
        std::function<void()> showReplace; // Ctrl+T; an empty hook does nothing
    };

    FindWindow(TextFinder& finder, settings::Settings& settings, Hooks hooks,
               QWidget* parent = nullptr);
    ~FindWindow() override;

    // Shows the window in the given scope with its find box selected and focused;
    // `findText`, when not empty, goes into the find box first.
    void open(bool findOnPage, const QString& findText = {});
    void setScope(bool findOnPage);

    QLineEdit* Text1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QButtonGroup* Option1 = nullptr;
    QCheckBox* Check1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void addShortcut(const QKeySequence& keys, std::function<void()> action);
    void updateCaption();

    TextFinder& finder_;
    settings::Settings& settings_;
    Hooks hooks_;
    bool placed_ = false;
};

} // namespace folimar::reader
