#include "reader/FindWindow.h"

#include "reader/CentredWindow.h"
#include "reader/TextFinder.h"
#include "settings/Settings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace folimar::reader {

FindWindow::FindWindow(TextFinder& finder, settings::Settings& settings, Hooks hooks,
                       QWidget* parent)
    : QWidget(parent, Qt::Window), finder_(finder), settings_(settings), hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("Form5"));
    buildControls();
    finder_.search.FindText = settings_.LastFindText;
    Text1->setText(settings_.LastFindText);

    connect(Text1, &QLineEdit::textEdited, this, [this](const QString& text) {
        finder_.search.FindText = text;
        settings_.LastFindText = text;
    });
    connect(Text1, &QLineEdit::returnPressed, this, [this] { finder_.FindNext(); });
    connect(Check1, &QCheckBox::clicked, this,
            [this](bool checked) { finder_.search.MatchCase = checked ? 1 : 0; });
    connect(Option1, &QButtonGroup::idClicked, this,
            [this](int direction) { finder_.search.FindDirection = qint16(direction); });
    connect(Command1, &QPushButton::clicked, this, [this] { finder_.FindNext(); });
    connect(Command2, &QPushButton::clicked, this, &QWidget::hide);

    addShortcut(QKeySequence(Qt::Key_Escape), [this] { hide(); });
    addShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), [this] { setScope(true); });
    addShortcut(QKeySequence(Qt::CTRL | Qt::Key_D), [this] { setScope(false); });
    addShortcut(QKeySequence(Qt::CTRL | Qt::Key_T), [this] {
        if (hooks_.showReplace)
            hooks_.showReplace();
    });
    addShortcut(QKeySequence(Qt::CTRL | Qt::Key_G), [this] { finder_.FindNext(); });
}

FindWindow::~FindWindow() = default;

void FindWindow::buildControls() {
    auto* column = new QVBoxLayout(this);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    column->addWidget(Text1);

    auto* row = new QHBoxLayout;
    Frame1 = new QGroupBox(QStringLiteral("Direction"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* directions = new QHBoxLayout(Frame1);
    Option1 = new QButtonGroup(Frame1);
    Option1->setObjectName(QStringLiteral("Option1"));
    const QStringList captions{QStringLiteral("Down"), QStringLiteral("Up")};
    for (int value = 0; value < captions.size(); ++value) {
        auto* option = new QRadioButton(captions[value], Frame1);
        option->setObjectName(QStringLiteral("Option1_") + QString::number(value));
        Option1->addButton(option, value);
        directions->addWidget(option);
    }
    row->addWidget(Frame1);
    Check1 = new QCheckBox(QStringLiteral("Match Case"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    row->addWidget(Check1);
    column->addLayout(row);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    Command1 = new QPushButton(QStringLiteral("&Find Next"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("Cancel"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    column->addLayout(buttons);
}

void FindWindow::addShortcut(const QKeySequence& keys, std::function<void()> action) {
    auto* shortcut = new QShortcut(keys, this);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    connect(shortcut, &QShortcut::activated, this, std::move(action));
}

void FindWindow::open(bool findOnPage, const QString& findText) {
    if (!findText.isEmpty()) {
        Text1->setText(findText);
        finder_.search.FindText = findText;
        settings_.LastFindText = findText;
    }
    finder_.search.FindOnPage = findOnPage;
    show();
    raise();
    activateWindow();
    updateCaption();
    Text1->selectAll();
    Text1->setFocus();
}

void FindWindow::setScope(bool findOnPage) {
    finder_.search.FindOnPage = findOnPage;
    Text1->selectAll();
    updateCaption();
}

void FindWindow::updateCaption() {
    setWindowTitle(finder_.search.FindOnPage ? QStringLiteral("Find on Page")
                                             : QStringLiteral("Find in Doc"));
}

// The replace window shares Match Case; the scope may have changed while hidden.
void FindWindow::showEvent(QShowEvent* event) {
    if (!placed_) {
        centreOnOwnersScreen(*this);
        placed_ = true;
    }
    Check1->setChecked(finder_.search.MatchCase == 1);
    if (QAbstractButton* direction = Option1->button(finder_.search.FindDirection))
        direction->setChecked(true);
    updateCaption();
    QWidget::showEvent(event);
}

} // namespace folimar::reader
