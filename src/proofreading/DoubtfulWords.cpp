#include "proofreading/DoubtfulWords.h"

#include "proofreading/SpellingDictionary.h"

#include <algorithm>

namespace folimar::proofreading {

namespace {

// Digits with what numbers are written with ("1,200", "3.5", "12:30", "1/2", "2nd" is not).
bool isNumber(QStringView word) {
    return std::all_of(word.begin(), word.end(), [](QChar c) {
        return c.isDigit() || c == u'.' || c == u',' || c == u':' || c == u'/' || c == u'-';
    });
}

// A number with an ordinal's or a unit's letters ("2nd", "1920s", "10km"): the dictionary
// knows none of them, and a misread number is rarely one.
bool startsWithNumber(QStringView word) {
    return !word.isEmpty() && word.front().isDigit() &&
           std::all_of(word.begin(), word.end(), [](QChar c) { return c.isLetterOrNumber(); }) &&
           std::count_if(word.begin(), word.end(), [](QChar c) { return c.isLetter(); }) <= 2;
}

} // namespace

DoubtfulWords::DoubtfulWords(const SpellingDictionary* dictionary, ProofreadingRules rules)
    : dictionary_(dictionary && !dictionary->isEmpty() ? dictionary : nullptr), rules_(rules) {}

void DoubtfulWords::setBookWords(const QStringList& words) {
    bookWords_.clear();
    for (const QString& word : words)
        addBookWord(word);
}

void DoubtfulWords::addBookWord(const QString& word) {
    bookWords_.insert(word.trimmed().toCaseFolded());
}

bool DoubtfulWords::isBookWord(QStringView word) const {
    QString folded = word.toString().toCaseFolded();
    if (bookWords_.contains(folded))
        return true;
    // A name's possessive ("Ardith's") is known with the name.
    if (folded.endsWith(QLatin1String("'s")) || folded.endsWith(QStringLiteral("\u2019s")))
        folded.chop(2);
    return bookWords_.contains(folded);
}

bool DoubtfulWords::unknownToDictionary(QStringView word) const {
    const QString key = word.toString();
    auto found = known_.constFind(key);
    if (found == known_.cend()) {
        bool knows = dictionary_->knows(word);
        // A compound is known when each of its parts is ("sea-green", "mother-in-law").
        if (!knows && word.contains(u'-')) {
            const QList<QStringView> parts = word.split(u'-', Qt::SkipEmptyParts);
            knows = std::all_of(parts.begin(), parts.end(), [&](QStringView part) {
                return part.size() == 1 || isNumber(part) || dictionary_->knows(part);
            });
        }
        found = known_.insert(key, knows);
    }
    return !found.value();
}

QList<DoubtfulWord> DoubtfulWords::mark(const QString& text,
                                        const QList<recognition::PlacedWord>& placed) const {
    QList<DoubtfulWord> doubtful;
    const bool byConfidence = rules_.byConfidence && !placed.isEmpty();
    const bool byDictionary = rules_.byDictionary && dictionary_;
    if (!byConfidence && !byDictionary)
        return doubtful;
    auto place = placed.cbegin();
    for (const TextWord& word : splitIntoWords(text)) {
        const QStringView spelt = QStringView(text).mid(word.offset, word.length);
        if (spelt.size() == 1 || isNumber(spelt) || startsWithNumber(spelt))
            continue;
        DoubtfulWord found{word.offset, word.length, false, false};
        if (byConfidence) {
            // The placed word (a run between spaces) holding this word.
            while (place != placed.cend() && place->offset + place->length <= word.offset)
                ++place;
            found.unsure = place != placed.cend() && place->offset <= word.offset &&
                           place->confidence != recognition::WordBox::UnknownConfidence &&
                           place->confidence < rules_.confidenceBelow;
        }
        if (!found.unsure && !byDictionary)
            continue;
        if (isBookWord(spelt))
            continue;
        found.unknown = byDictionary && unknownToDictionary(spelt);
        if (found.unsure || found.unknown)
            doubtful.append(found);
    }
    return doubtful;
}

std::optional<DoubtfulWord> nextDoubtful(const QList<DoubtfulWord>& words, qint32 caret,
                                         bool forward) {
    if (forward) {
        const auto after = std::find_if(words.cbegin(), words.cend(),
                                        [caret](const DoubtfulWord& w) { return w.offset > caret; });
        return after == words.cend() ? std::nullopt : std::optional(*after);
    }
    const auto before = std::find_if(words.crbegin(), words.crend(),
                                     [caret](const DoubtfulWord& w) { return w.offset < caret; });
    return before == words.crend() ? std::nullopt : std::optional(*before);
}

} // namespace folimar::proofreading
