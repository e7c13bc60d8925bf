#pragma once

#include <QGroupBox>

class QButtonGroup;
class QLabel;
class QListWidget;
class QVBoxLayout;

namespace folimar::reader {

// The options window's text recognition choices: whether a pasted picture is read at once
// (`optReadPasted`, 0 No, 1 Yes), whether the spoken sentence is marked on the page picture
// (`optShowSpoken`), whether a pasted picture is stored turned level (`optStraighten`) and
// the languages to read in (`lstTextLanguages`, the installed ones, ticked), and whether
// doubtful words are marked in the text (`optDoubtfulText`) and on the picture
// (`optDoubtfulPicture`); under them, the languages that have no spelling dictionary
// (`lblNoDictionary`). Each change is saved to the settings file at once.
class RecognitionOptions final : public QGroupBox {
    Q_OBJECT
public:
    RecognitionOptions(QString settingsPath, QString tessdata, QWidget* parent = nullptr);

    // Shows the choices as saved.
    void showSettings();

private:
    QButtonGroup* addYesNo(QVBoxLayout& column, const QString& caption, const QString& name);
    void save();
    void showMissingDictionaries(const QString& languages);

    QString settingsPath_;
    QString tessdata_;
    QButtonGroup* optReadPasted = nullptr;
    QButtonGroup* optShowSpoken = nullptr;
    QButtonGroup* optStraighten = nullptr;
    QButtonGroup* optDoubtfulText = nullptr;
    QButtonGroup* optDoubtfulPicture = nullptr;
    QLabel* lblNoDictionary = nullptr;
    QListWidget* lstTextLanguages = nullptr;
    bool loading_ = false;
};

} // namespace folimar::reader
