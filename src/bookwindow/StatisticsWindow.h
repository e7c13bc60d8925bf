#pragma once

#include "bookwindow/DocumentStatistics.h"

#include <QFutureWatcher>
#include <QStringList>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace folimar::store {
class BookStore;
}

namespace folimar::bookwindow {

// The doubtful words are counted in the pages' languages (the recognition's) with the
// book's own words; those of the page shown are given, as marked now.
struct DoubtfulCounting {
    QString languages;
    QStringList bookWords;
    int onPage = 0;
};

// The statistics window (`Stats`, "Folimar Doc Stats"): the book's topics, words,
// sentences and reading time. The window shows "Please Wait" while a second thread
// counts, so it stays responsive in a large book. OK and Escape close it.
class StatisticsWindow final : public QWidget {
    Q_OBJECT
public:
    explicit StatisticsWindow(QWidget* parent = nullptr);
    ~StatisticsWindow() override;

    // Counts the open book and shows the figures; `topicEntries` is the topic list's
    // entry count. A book without topics shows nothing. The window opens wholly on the
    // screen that holds `owner`.
    void showStatistics(store::BookStore& store, int topicEntries, const QWidget* owner = nullptr,
                        const DoubtfulCounting& doubtful = {});

    QLabel* Label2 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* Text4 = nullptr;
    QLabel* lblDoubtfulPage = nullptr;
    QLineEdit* txtDoubtfulPage = nullptr;
    QLabel* lblDoubtfulBook = nullptr;
    QLineEdit* txtDoubtfulBook = nullptr;
    QPushButton* Command1 = nullptr;

Q_SIGNALS:
    // The figures of the last count are in.
    void countsShown();

private:
    void buildControls();
    void showCounts(const DocumentCounts& counts);

    QFutureWatcher<DocumentCounts> counting_;
    int topicEntries_ = 0;
    int doubtfulOnPage_ = 0;
};

} // namespace folimar::bookwindow
