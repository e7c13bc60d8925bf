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

// The marks that stand between sentences and clauses, and quotes: after them a space is due.
bool isSpacedMark(QChar c) {
    return c == u'.' || c == u',' || c == u':' || c == u';' || c == u'!' || c == u'?' ||
           c == u'"' || c == QChar(0x2018) || c == QChar(0x201C) || c == QChar(0x201D);
}

// The end of the words from `first` on that are run together: joined by such marks alone.
qsizetype endOfRun(QStringView text, const QList<TextWord>& words, qsizetype first) {
    qsizetype end = first + 1;
    while (end < words.size()) {
        const qint32 gapStart = words[end - 1].offset + words[end - 1].length;
        const QStringView gap = text.mid(gapStart, words[end].offset - gapStart);
        if (!std::all_of(gap.begin(), gap.end(), isSpacedMark))
            break;
        ++end;
    }
    return end;
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
    if (!byConfidence && !byDictionary && !rules_.byRunTogether)
        return doubtful;
    const auto minor = [](QStringView spelt) {
        return spelt.size() == 1 || isNumber(spelt) || startsWithNumber(spelt);
    };
    auto place = placed.cbegin();
    const auto judge = [&](const TextWord& word) {
        const QStringView spelt = QStringView(text).mid(word.offset, word.length);
        if (minor(spelt) || isBookWord(spelt))
            return;
        DoubtfulWord found{word.offset, word.length, false, false};
        found.unknown = byDictionary && unknownToDictionary(spelt);
        if (byConfidence) {
            // The placed word (a run between spaces) holding this word.
            while (place != placed.cend() && place->offset + place->length <= word.offset)
                ++place;
            const qint32 below = byDictionary && !found.unknown ? rules_.knownConfidenceBelow
                                                                : rules_.confidenceBelow;
            found.unsure = place != placed.cend() && place->offset <= word.offset &&
                           place->confidence != recognition::WordBox::UnknownConfidence &&
                           place->confidence < below;
        }
        if (found.unsure || found.unknown)
            doubtful.append(found);
    };
    const QList<TextWord> words = splitIntoWords(text);
    for (qsizetype first = 0; first < words.size();) {
        const qsizetype end = rules_.byRunTogether ? endOfRun(text, words, first) : first + 1;
        const bool runTogether =
            end - first > 1 &&
            std::any_of(words.begin() + first, words.begin() + end, [&](const TextWord& word) {
                return !minor(QStringView(text).mid(word.offset, word.length));
            });
        const qint32 runEnd = words[end - 1].offset + words[end - 1].length;
        if (runTogether &&
            !isBookWord(QStringView(text).mid(words[first].offset, runEnd - words[first].offset)))
            doubtful.append(
                {words[first].offset, runEnd - words[first].offset, false, false, true});
        else
            std::for_each(words.begin() + first, words.begin() + end, judge);
        first = end;
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
