#pragma once

#include "proofreading/DoubtfulWords.h"
#include "proofreading/SpellingDictionary.h"
#include "recognition/WordAlignment.h"

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <memory>

namespace folimar::proofreading {

// The doubtful words of the page shown, for the windows that mark and walk them: the
// spelling dictionaries of the languages the pages are read in (opened when those change),
// the book's own words, and the page's words found on its picture. What was found for a
// page is kept until its text or its boxes change.
class PageProofreader {
public:
    explicit PageProofreader(QStringList dictionaryFolders = SpellingDictionary::systemFolders());
    ~PageProofreader();

    // The recognition's languages ("eng+deu"); the dictionaries open on the next marking.
    void setLanguages(const QString& languages);
    void setBookWords(const QStringList& words);
    void addBookWord(const QString& word);

    // The page: its text and the word boxes it was recognised with (a word box blob).
    struct Page {
        QList<DoubtfulWord> doubtful;
        QList<recognition::PlacedWord> placed; // its words found on the picture
    };
    const Page& page(const QString& text, const QByteArray& wordBoxes);
    // The doubtful words of any page (a page of the book not shown), kept apart from
    // the page shown.
    QList<DoubtfulWord> doubtfulOf(const QString& text, const QByteArray& wordBoxes);

private:
    DoubtfulWords& marker();

    QStringList folders_;
    QString languages_;
    QStringList bookWords_;
    std::unique_ptr<SpellingDictionary> dictionary_;
    std::unique_ptr<DoubtfulWords> marker_;
    QString text_;
    QByteArray boxes_;
    bool pageKnown_ = false;
    Page page_;
};

// The boxes on the picture of a word of the text (from `offset`); none when it has none.
QList<QRect> boxesAt(const QList<recognition::PlacedWord>& placed, qint32 offset);

} // namespace folimar::proofreading
