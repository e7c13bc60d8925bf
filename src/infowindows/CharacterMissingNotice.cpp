#include "infowindows/CharacterMissingNotice.h"

#include "controls/urllink/URLLink.h"
#include "infowindows/InfoLinks.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace folimar::infowindows {

namespace {

QLabel* namedLabel(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    return label;
}

controls::URLLink* namedLink(const char* name, const QString& text, const char* address,
                             QWidget* parent) {
    auto* link = new controls::URLLink(parent);
    link->setObjectName(QLatin1String(name));
    link->setText(text);
    link->setURL(QLatin1String(address));
    link->setShowToolTip(true);
    return link;
}

} // namespace

CharacterMissingNotice::CharacterMissingNotice(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("MSagent"));
    setWindowTitle(QStringLiteral("Character Not Found"));
    setModal(false);

    Label1 = namedLabel("Label1",
                        QStringLiteral("No speaking character could be loaded. Please install "
                                       "one from"),
                        this);
    URLLink1 =
        namedLink("URLLink1", QStringLiteral("Folimar characters"), CharactersPageAddress, this);
    Label2 = namedLabel(
        "Label2",
        QStringLiteral("Characters are \".acs\" files in the program's characters folder or in "
                       "%1. Speech comes from espeak-ng through the sound server: install the "
                       "packages libespeak-ng1, espeak-ng-data and pulseaudio.")
            .arg(userCharactersFolderForDisplay()),
        this);
    Label3 = namedLabel("Label3", QStringLiteral("More characters can be found at:"), this);
    URLLink2 =
        namedLink("URLLink2", QStringLiteral("More characters"), MoreCharactersPageAddress, this);
    Label4 =
        namedLabel("Label4", QStringLiteral("(Also check if a char is loaded in Options)"), this);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(URLLink1);
    layout->addSpacing(6);
    layout->addWidget(Label2);
    layout->addSpacing(6);
    layout->addWidget(Label3);
    layout->addWidget(URLLink2);
    layout->addSpacing(6);
    layout->addWidget(Label4);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addStretch();
    layout->addLayout(buttons);
    setMinimumWidth(420);
}

void CharacterMissingNotice::setUrlOpener(const controls::UrlOpener& opener) {
    URLLink1->setUrlOpener(opener);
    URLLink2->setUrlOpener(opener);
}

} // namespace folimar::infowindows
