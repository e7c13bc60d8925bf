#pragma once

#include <QGroupBox>

class QButtonGroup;
class QListWidget;
class QVBoxLayout;

namespace folimar::reader {

// The options window's text recognition choices: whether a pasted picture is read at once
// (`optReadPasted`, 0 No, 1 Yes), whether the spoken sentence is marked on the page picture
// (`optShowSpoken`), whether a pasted picture is stored turned level (`optStraighten`) and
// the languages to read in (`lstTextLanguages`, the installed ones, ticked). Each change is saved to the settings file at once.
class RecognitionOptions final : public QGroupBox {
    Q_OBJECT
public:
    RecognitionOptions(QString settingsPath, QString tessdata, QWidget* parent = nullptr);

    // Shows the choices as saved.
    void showSettings();

private:
    QButtonGroup* addYesNo(QVBoxLayout& column, const QString& caption, const QString& name);
    void save();

    QString settingsPath_;
    QString tessdata_;
    QButtonGroup* optReadPasted = nullptr;
    QButtonGroup* optShowSpoken = nullptr;
    QButtonGroup* optStraighten = nullptr;
    QListWidget* lstTextLanguages = nullptr;
    bool loading_ = false;
};

} // namespace folimar::reader
