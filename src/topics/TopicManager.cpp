// The topic manager window: its controls, views, keys, loading and closing.
#include "topics/TopicManager.h"

#include "platform/dialogs/Dialogs.h"
#include "reader/CentredWindow.h"
#include "reader/CharacterHost.h"
#include "reader/ReaderState.h"
#include "reader/SentenceReader.h"
#include "settings/Settings.h"
#include "store/BookStore.h"
#include "topics/NotesWindow.h"
#include "topics/TopicListBox.h"
#include "topics/TopicListState.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace folimar::topics {

namespace {

const QString AddToTopicCaption = QStringLiteral("Add to Topic ???");
const QString SelectTopicCaption = QStringLiteral("Select Topic");

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& tooltip) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(tooltip);
    button->setAutoDefault(false);
    return button;
}

} // namespace

TopicManager::TopicManager(Parts parts, Hooks hooks, QWidget* parent)
    : QWidget(parent, Qt::Window), parts_(parts), hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Topics"));
    buildControls();
    Form4 = std::make_unique<NotesWindow>(parts_.store, parts_.locations, parts_.dialogs,
                                          parts_.listState);
    Form4->showNoTopic();
    connectControls();
    showTopicsView();
    if (hooks_.installReadingKeys)
        hooks_.installReadingKeys(this);
    parts_.reader.setTopicList(this);
}

TopicManager::~TopicManager() {
    parts_.reader.setTopicList(nullptr);
}

void TopicManager::buildControls() {
    DispLstBx = new TopicListBox(this);
    DispLstBx->setObjectName(QStringLiteral("DispLstBx"));
    DBCombo1 = new QComboBox(this);
    DBCombo1->setObjectName(QStringLiteral("DBCombo1"));
    Label11 = new QLabel(QStringLiteral("No"), this);
    Label11->setObjectName(QStringLiteral("Label11"));
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Label1 = new QLabel(QStringLiteral("Name"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Text2 = new QLineEdit(this);
    Text2->setObjectName(QStringLiteral("Text2"));

    SSFrame6 = new QGroupBox(this);
    SSFrame6->setObjectName(QStringLiteral("SSFrame6"));
    SSCommand1 = makeButton(SSFrame6, "SSCommand1", QStringLiteral("Topics"),
                            QStringLiteral("List the topics in number order"));
    SSCommand2 = makeButton(SSFrame6, "SSCommand2", QStringLiteral("Index"),
                            QStringLiteral("Pick a topic by its name"));
    SSCommand4 = makeButton(SSFrame6, "SSCommand4", QStringLiteral("Find in Doc"),
                            QStringLiteral("Find text in the whole book"));
    SSCommand5 = makeButton(SSFrame6, "SSCommand5", QStringLiteral("Find on Page"),
                            QStringLiteral("Find text in the topic shown"));
    SSCommand6 = makeButton(SSFrame6, "SSCommand6", QStringLiteral("Notes"),
                            QStringLiteral("Show the notes on the topic"));
    Site_Add = makeButton(SSFrame6, "Site_Add", QStringLiteral("Add/Edit"),
                          QStringLiteral("Store the page under the number in No"));
    Site_del = makeButton(SSFrame6, "Site_del", QStringLiteral("Delete"),
                          QStringLiteral("Delete the selected topics"));
    SSCommand3 = makeButton(SSFrame6, "SSCommand3", QStringLiteral("Insert"),
                            QStringLiteral("Insert a topic before the selected one"));
    SSCommand7 = makeButton(SSFrame6, "SSCommand7", QStringLiteral("ReNo"),
                            QStringLiteral("Renumber Topics"));
    SSCommand8 = makeButton(SSFrame6, "SSCommand8", QStringLiteral("Goto"),
                            QStringLiteral("Go to the topic at the position in No"));

    auto* buttons = new QGridLayout(SSFrame6);
    const QList<QPushButton*> order{SSCommand1, SSCommand2, SSCommand4, SSCommand5, SSCommand6,
                                    Site_Add,   Site_del,   SSCommand3, SSCommand7, SSCommand8};
    for (int i = 0; i < order.size(); ++i)
        buttons->addWidget(order[i], i / 5, i % 5);

    auto* boxes = new QGridLayout;
    boxes->addWidget(Label11, 0, 0);
    boxes->addWidget(Text1, 0, 1);
    boxes->addWidget(Label1, 0, 2);
    boxes->addWidget(Text2, 0, 3);
    boxes->setColumnStretch(3, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DispLstBx, 1);
    layout->addWidget(DBCombo1);
    layout->addLayout(boxes);
    layout->addWidget(SSFrame6);
    resize(460, 420);
}

void TopicManager::connectControls() {
    connect(DispLstBx, &TopicListBox::entryPicked, this, &TopicManager::ShowTopic);
    connect(DispLstBx, &TopicListBox::popupRequested, this, [this](const QPoint& at) {
        if (hooks_.showReaderPopup)
            hooks_.showReaderPopup(at);
    });
    connect(DBCombo1, &QComboBox::activated, this, &TopicManager::pickFromIndex);
    connect(Text2, &QLineEdit::textEdited, this, [this] { parts_.listState.TopicAdded = true; });
    connect(Text2, &QLineEdit::returnPressed, this, &TopicManager::addEdit);
    connect(SSCommand1, &QPushButton::clicked, this, &TopicManager::showTopicsView);
    connect(SSCommand2, &QPushButton::clicked, this, &TopicManager::showIndexView);
    connect(SSCommand4, &QPushButton::clicked, this, [this] { openFind(false); });
    connect(SSCommand5, &QPushButton::clicked, this, [this] { openFind(true); });
    connect(SSCommand6, &QPushButton::clicked, this, &TopicManager::showNotes);
    connect(Site_Add, &QPushButton::clicked, this, &TopicManager::addEdit);
    connect(Site_del, &QPushButton::clicked, this, &TopicManager::deleteTopics);
    connect(SSCommand3, &QPushButton::clicked, this, &TopicManager::insertTopic);
    connect(SSCommand7, &QPushButton::clicked, this, &TopicManager::renumberTopics);
    connect(SSCommand8, &QPushButton::clicked, this, &TopicManager::gotoTopic);
}

void TopicManager::setEditingEnabled(bool enabled) {
    for (QPushButton* button : {Site_Add, Site_del, SSCommand3, SSCommand7})
        button->setEnabled(enabled);
}

void TopicManager::showTopicsView() {
    indexView_ = false;
    DBCombo1->hide();
    DBCombo1->setEnabled(false);
    DispLstBx->show();
    DispLstBx->setEnabled(!locked_);
    setEditingEnabled(!locked_);
}

void TopicManager::showIndexView() {
    indexView_ = true;
    fillIndex();
    DBCombo1->setCurrentIndex(-1);
    DBCombo1->show();
    DBCombo1->setEnabled(true);
    DispLstBx->hide();
    DispLstBx->setEnabled(false);
    setEditingEnabled(false);
}

void TopicManager::fillIndex() {
    if (!indexStale_)
        return;
    DBCombo1->clear();
    for (const store::TopicEntry& topic : parts_.store.topicsByName())
        DBCombo1->addItem(topic.TopicName, topic.TopicNo);
    indexStale_ = false;
}

void TopicManager::pickFromIndex(int comboIndex) {
    if (comboIndex < 0)
        return;
    const int topicNo = DBCombo1->itemData(comboIndex).toInt();
    showTopicsView();
    for (int row = 0; row < DispLstBx->count(); ++row) {
        if (DispLstBx->topicNoAt(row) != topicNo)
            continue;
        deselectCurrent();
        selectEntry(row);
    }
}

void TopicManager::openFind(bool findOnPage) {
    showTopicsView();
    const QString findText = Text1->hasSelectedText() && !parts_.host.characterVisible()
                                 ? Text1->selectedText()
                                 : QString();
    if (hooks_.openFind)
        hooks_.openFind(findOnPage, findText);
}

void TopicManager::showNotes() {
    // Beside the list it annotates, the first time; where the user put it after that.
    if (!notesPlaced_ && isVisible()) {
        reader::placeBeside(*Form4, *this);
        notesPlaced_ = true;
    }
    Form4->show();
    Form4->raise();
}

void TopicManager::keyPressEvent(QKeyEvent* event) {
    const bool control = event->modifiers() & Qt::ControlModifier;
    if (event->key() == Qt::Key_Escape) {
        close();
    } else if (control && event->key() == Qt::Key_F) {
        openFind(true);
    } else if (control && event->key() == Qt::Key_D) {
        openFind(false);
    } else if (control && event->key() == Qt::Key_G) {
        showTopicsView();
        if (hooks_.findNext)
            hooks_.findNext();
    } else if (control && event->key() == Qt::Key_T) {
        if (hooks_.showReplace)
            hooks_.showReplace();
    } else {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TopicManager::closeEvent(QCloseEvent* event) {
    if (windowTitle() == AddToTopicCaption) {
        setWindowTitle(SelectTopicCaption);
        parts_.readerState.TopicDirty = false;
    }
    showTopicsView();
    if (!parts_.listState.TopicsUnloadAllowed) {
        hide();
        event->ignore();
        return;
    }
    // Unloaded: the controls are as new until the next load.
    Form4->showNoTopic();
    DispLstBx->clear();
    DBCombo1->clear();
    indexStale_ = true;
    Text1->clear();
    Text2->clear();
    setWindowTitle(QStringLiteral("Topics"));
    event->accept();
}

void TopicManager::unloadWindow() {
    parts_.listState.TopicsUnloadAllowed = true;
    close();
    parts_.listState.TopicsUnloadAllowed = false;
}

void TopicManager::loadWindow() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                        screen->availableGeometry()));
    indexStale_ = true;
    // A new book starts with no edits, whatever the last one left.
    parts_.readerState.TopicDirty = false;
    Doors_refresh();
    const int entries = DispLstBx->count();
    if (entries == 0) {
        showBlankPageAfterLast(); // the first page is topic 1
        return;
    }
    settings::Settings& settings = parts_.settings;
    if (settings.TopicIndex < 0 || settings.TopicIndex >= entries) {
        settings.TopicIndex = 0;
        settings.ReadPos = 0;
    }
    parts_.listState.RestoringTopic = true;
    selectEntry(settings.TopicIndex);
    restoreReadingPlace();
}

void TopicManager::restoreReadingPlace() {
    if (hooks_.placeReaderCaret)
        hooks_.placeReaderCaret(parts_.settings.ReadPos);
}

// ---- TopicNavigation

int TopicManager::entryCount() const {
    return DispLstBx->count();
}

int TopicManager::topicNoAt(int index) const {
    return DispLstBx->topicNoAt(index);
}

void TopicManager::selectEntry(int index) {
    QListWidgetItem* entry = DispLstBx->item(index);
    if (!entry)
        return;
    DispLstBx->setCurrentRow(index, QItemSelectionModel::NoUpdate);
    entry->setSelected(true);
    ShowTopic();
}

void TopicManager::deselectEntryMuted(int index) {
    QListWidgetItem* entry = DispLstBx->item(index);
    if (!entry)
        return;
    reader::ReaderState& state = parts_.readerState;
    const bool wasMuted = state.ListEventsMuted;
    state.ListEventsMuted = true;
    entry->setSelected(false);
    state.ListEventsMuted = wasMuted;
}

void TopicManager::showNoTopic() {
    Form4->showNoTopic();
}

void TopicManager::deselectCurrent() {
    deselectEntryMuted(DispLstBx->currentRow());
}

void TopicManager::setNumberAndName(const QString& number, const QString& name) {
    Text1->setText(number);
    Text2->setText(name);
}

void TopicManager::askToAddTopic() {
    setWindowTitle(AddToTopicCaption);
    parts_.dialogs.beep();
    showTopicManager();
}

void TopicManager::markTopicStored() {
    setWindowTitle(SelectTopicCaption);
}

void TopicManager::showTopicManager() {
    showTopicsView();
    show();
    raise();
    activateWindow();
}

QString TopicManager::numberText() const {
    return Text1->text();
}

QString TopicManager::nameText() const {
    return Text2->text();
}

} // namespace folimar::topics
