#pragma once

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace folimar::reader {

class TextFinder;

// The replace window (`Form5a`): what to find, what to put in its place, "Match Case"
// (shared with the find window) and "&Replace All" over every topic of the book. Enter
// in the find box replaces too; Escape, the close box and "Cancel" hide it.
class ReplaceWindow final : public QWidget {
    Q_OBJECT
public:
    explicit ReplaceWindow(TextFinder& finder, QWidget* parent = nullptr);
    ~ReplaceWindow() override;

    // Shows the window with its find box focused.
    void open();
    // Replace All, with both buttons disabled while it runs.
    void replaceAll();

    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QCheckBox* Check1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();

    TextFinder& finder_;
    bool placed_ = false;
};

} // namespace folimar::reader
