#pragma once

#include "proofreading/TextWords.h"
#include "recognition/WordAlignment.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

namespace folimar::proofreading {

class SpellingDictionary;

// What makes a word doubtful.
struct ProofreadingRules {
    // A word the recognition was less sure of than this (0 to 100) is doubtful...
    qint32 confidenceBelow = 70;
    bool byConfidence = true;
    bool byDictionary = true;
    // ...unless the dictionary knows it: a known word is rarely misread, so it is doubtful
    // only when the recognition was very unsure of it.
    qint32 knownConfidenceBelow = 40;
    // Words run together by a mark with no space after it ("the.early", "her:mother") are
    // a space read as a mark.
    bool byRunTogether = true;
};

// A word of the page's text that the user should look at again, and why.
struct DoubtfulWord {
    qint32 offset = 0;
    qint32 length = 0;
    bool unsure = false;  // the recognition's confidence was low
    bool unknown = false; // the spelling dictionary does not know it
    bool runTogether = false; // words joined by a mark (the doubtful word holds them all)
    friend bool operator==(const DoubtfulWord&, const DoubtfulWord&) = default;
};

// Finds the doubtful words of a page's text: those whose recognition was unsure, those
// the spelling dictionary does not know, and words run together. Numbers, single letters
// and the book's own words are never doubtful, nor are single letters or numbers joined by
// marks ("e.g.", "U.S.", "12:30"). A word the user corrected has no confidence any more (it no
// longer matches what was recognised), so only the dictionary judges it.
class DoubtfulWords {
public:
    // `dictionary` (may be null or empty: no dictionary check) outlives this.
    DoubtfulWords(const SpellingDictionary* dictionary, ProofreadingRules rules);

    // The words of the book's own list (compared without regard to case).
    void setBookWords(const QStringList& words);
    void addBookWord(const QString& word);
    bool isBookWord(QStringView word) const;

    // The doubtful words of `text`, in order; `placed` are its words found on the picture
    // (recognition::placeWords), with their confidences.
    QList<DoubtfulWord> mark(const QString& text,
                             const QList<recognition::PlacedWord>& placed) const;

private:
    bool unknownToDictionary(QStringView word) const;

    const SpellingDictionary* dictionary_;
    ProofreadingRules rules_;
    QSet<QString> bookWords_;
    // Dictionary answers already asked for: a page repeats most of its words.
    mutable QHash<QString, bool> known_;
};

// The first doubtful word that starts after `caret` (`forward`), or the last that starts
// before it; none past the last or before the first.
std::optional<DoubtfulWord> nextDoubtful(const QList<DoubtfulWord>& words, qint32 caret,
                                         bool forward);

} // namespace folimar::proofreading
