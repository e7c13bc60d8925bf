#include "bookwindow/StatisticsWindow.h"

#include "proofreading/PageProofreader.h"
#include "reader/CentredWindow.h"
#include "store/BookStore.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QtConcurrent/QtConcurrentRun>

namespace folimar::bookwindow {

namespace {

QLineEdit* figureBox(const char* name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setReadOnly(true);
    return box;
}

QLabel* label(const char* name, const QString& caption, QWidget* parent) {
    auto* text = new QLabel(caption, parent);
    text->setObjectName(QLatin1String(name));
    return text;
}

} // namespace

StatisticsWindow::StatisticsWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Stats"));
    setWindowTitle(QStringLiteral("Folimar Doc Stats"));
    buildControls();
    setMinimumWidth(reader::widthShowingTitle(*this));
    connect(Command1, &QPushButton::clicked, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    connect(&counting_, &QFutureWatcher<DocumentCounts>::finished, this,
            [this] { showCounts(counting_.result()); });
}

// A count still running goes on with its own copy of the texts; its result is dropped.
StatisticsWindow::~StatisticsWindow() = default;

void StatisticsWindow::buildControls() {
    auto* grid = new QGridLayout(this);
    Label2 = label("Label2", QStringLiteral("Please Wait"), this);
    grid->addWidget(Label2, 0, 0, 1, 2);
    Label1 = label("Label1", QStringLiteral("Topics"), this);
    Text1 = figureBox("Text1", this);
    Label3 = label("Label3", QStringLiteral("Words"), this);
    Text2 = figureBox("Text2", this);
    Label4 = label("Label4", QStringLiteral("Sentences"), this);
    Text3 = figureBox("Text3", this);
    Label5 = label("Label5", QStringLiteral("Read Time"), this);
    Text4 = figureBox("Text4", this);
    lblDoubtfulPage = label("lblDoubtfulPage", QStringLiteral("Doubtful words on the page"), this);
    txtDoubtfulPage = figureBox("txtDoubtfulPage", this);
    lblDoubtfulBook = label("lblDoubtfulBook", QStringLiteral("Doubtful words in the book"), this);
    txtDoubtfulBook = figureBox("txtDoubtfulBook", this);
    const QList<QPair<QLabel*, QLineEdit*>> rows{{Label1, Text1},
                                                 {Label3, Text2},
                                                 {Label4, Text3},
                                                 {Label5, Text4},
                                                 {lblDoubtfulPage, txtDoubtfulPage},
                                                 {lblDoubtfulBook, txtDoubtfulBook}};
    for (int row = 0; row < rows.size(); ++row) {
        grid->addWidget(rows[row].first, row + 1, 0);
        grid->addWidget(rows[row].second, row + 1, 1);
    }
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    grid->addWidget(Command1, int(rows.size()) + 1, 0, 1, 2, Qt::AlignHCenter);
}

void StatisticsWindow::showStatistics(store::BookStore& store, int topicEntries,
                                      const QWidget* owner, const DoubtfulCounting& doubtful) {
    if (!store.highestTopicNo())
        return; // no topics at all
    topicEntries_ = topicEntries;
    doubtfulOnPage_ = doubtful.onPage;
    Label2->show();
    if (!isVisible())
        reader::centreOnOwnersScreen(*this, owner);
    show();
    raise();
    activateWindow();
    // Drawn with "Please Wait" before the texts are read.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    QList<QPair<QString, QByteArray>> pages; // each page's text and word boxes
    for (store::TopicPage& topic : store.topicTexts())
        pages.append({std::move(topic.PicText), store.topicWordBoxes(topic.TopicNo)});
    counting_.setFuture(QtConcurrent::run([pages = std::move(pages), doubtful] {
        // The thread's own dictionaries: they are not shared between threads.
        proofreading::PageProofreader proofreader;
        proofreader.setLanguages(doubtful.languages);
        proofreader.setBookWords(doubtful.bookWords);
        DocumentCounts counts;
        for (const auto& [text, boxes] : pages) {
            counts.addText(text);
            counts.doubtful += qint32(proofreader.doubtfulOf(text, boxes).size());
        }
        return counts;
    }));
}

void StatisticsWindow::showCounts(const DocumentCounts& counts) {
    Label2->hide();
    Text1->setText(QString::number(topicEntries_));
    Text2->setText(QString::number(counts.words));
    Text3->setText(QString::number(counts.sentences));
    Text4->setText(ReadingTime(counts.words));
    txtDoubtfulPage->setText(QString::number(doubtfulOnPage_));
    txtDoubtfulBook->setText(QString::number(counts.doubtful));
    Q_EMIT countsShown();
}

} // namespace folimar::bookwindow
