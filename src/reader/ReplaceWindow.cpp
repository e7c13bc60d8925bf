#include "reader/ReplaceWindow.h"

#include "reader/CentredWindow.h"
#include "reader/TextFinder.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

namespace folimar::reader {

ReplaceWindow::ReplaceWindow(TextFinder& finder, QWidget* parent)
    : QWidget(parent, Qt::Window), finder_(finder) {
    setObjectName(QStringLiteral("Form5a"));
    setWindowTitle(QStringLiteral("Replace"));
    buildControls();

    connect(Text1, &QLineEdit::textChanged, this,
            [this](const QString& text) { finder_.search.ReplaceFind = text; });
    connect(Text2, &QLineEdit::textChanged, this,
            [this](const QString& text) { finder_.search.ReplaceWith = text; });
    connect(Text1, &QLineEdit::returnPressed, this, &ReplaceWindow::replaceAll);
    connect(Check1, &QCheckBox::clicked, this,
            [this](bool checked) { finder_.search.MatchCase = checked ? 1 : 0; });
    connect(Command1, &QPushButton::clicked, this, &ReplaceWindow::replaceAll);
    connect(Command2, &QPushButton::clicked, this, &QWidget::hide);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, &QWidget::hide);
}

ReplaceWindow::~ReplaceWindow() = default;

void ReplaceWindow::buildControls() {
    auto* grid = new QGridLayout(this);
    auto* findLabel = new QLabel(QStringLiteral("Find"), this);
    auto* replaceLabel = new QLabel(QStringLiteral("Replace"), this);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text2 = new QLineEdit(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    findLabel->setBuddy(Text1);
    replaceLabel->setBuddy(Text2);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(Text1, 0, 1);
    grid->addWidget(replaceLabel, 1, 0);
    grid->addWidget(Text2, 1, 1);
    Check1 = new QCheckBox(QStringLiteral("Match Case"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    grid->addWidget(Check1, 2, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    Command1 = new QPushButton(QStringLiteral("&Replace All"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("Cancel"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    grid->addLayout(buttons, 3, 0, 1, 2);
}

void ReplaceWindow::open() {
    show();
    raise();
    activateWindow();
    Text1->setFocus();
}

void ReplaceWindow::replaceAll() {
    // The messages Replace All shows are modal: no second run can start meanwhile.
    Command1->setEnabled(false);
    Command2->setEnabled(false);
    finder_.ReplaceAll();
    Command1->setEnabled(true);
    Command2->setEnabled(true);
}

void ReplaceWindow::showEvent(QShowEvent* event) {
    if (!placed_) {
        centreOnOwnersScreen(*this);
        placed_ = true;
    }
    Check1->setChecked(finder_.search.MatchCase == 1);
    QWidget::showEvent(event);
}

} // namespace folimar::reader
