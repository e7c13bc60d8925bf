#pragma once

#include "reader/ReaderProfile.h"

#include <QWidget>

class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QSlider;

namespace folimar::platform {
class Dialogs;
}
namespace folimar::settings {
struct Settings;
}

namespace folimar::reader {

class CharacterHost;
class RecognitionOptions;

// The options window (`Form6`): the reading choices, the speaking character with its size
// and place, the picture zoom and the paste quality. Every choice writes its setting at
// once; there is nothing to confirm. Escape closes it.
//
// Each choice is an option array (`Option1` ... `Option7`, a QButtonGroup whose button
// ids are the setting's values); `Text2` is the paste quality, `Text1` the character,
// `Command1` "Browse", `Slider1` the size, `Command2` "Locate".
class OptionsWindow final : public QWidget {
    Q_OBJECT
public:
    // `charactersFolder` is where "Browse" starts: the characters that ship with the program.
    OptionsWindow(ReaderProfile profile, settings::Settings& settings, CharacterHost& host,
                  platform::Dialogs& dialogs, QString charactersFolder, QWidget* parent = nullptr);

    // Adds the page text choices, kept in their own file at `settingsPath`.
    void addRecognitionOptions(const QString& settingsPath);

    // Shows every setting as it is now (done when the window opens).
    void showSettings();

    // The character to a place near the middle of the screen, remembered as its place.
    void Locate();
    // Lets the user pick a character file and reads on with it.
    void Browse();

    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QSlider* Slider1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;

    QSize sizeHint() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QGroupBox* optionArray(const QString& arrayName, const QString& frameCaption,
                           const QStringList& captions, qint16 settings::Settings::*field);
    QGroupBox* qualityGroup();
    QGroupBox* characterGroup();
    void qualityEdited(const QString& text);
    void sizeChanged(int value);

    settings::Settings& settings_;
    CharacterHost& host_;
    platform::Dialogs& dialogs_;
    QString charactersFolder_;
    QList<QPair<QButtonGroup*, qint16 settings::Settings::*>> arrays_;
    QString rememberedQuality_;
    bool loading_ = false;
    RecognitionOptions* recognitionOptions_ = nullptr;
    QWidget* choices_ = nullptr; // everything the window holds, inside its scroll area
    bool placed_ = false;
};

} // namespace folimar::reader
