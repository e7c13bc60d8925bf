#include "sentences/SentenceEnds.h"

#include <QStringView>
#include <algorithm>
#include <array>

namespace folimar::sentences {

namespace {

bool isEndMark(QChar c) {
    return c == QLatin1Char('.') || c == QLatin1Char('?') || c == QLatin1Char('!');
}

// Quotes and brackets that close a sentence after its mark belong to it.
bool isClosing(QChar c) {
    static constexpr std::array<char16_t, 6> closing{u'"', u'\'', u')', u']', u'\u201D', u'\u2019'};
    return std::find(closing.begin(), closing.end(), c.unicode()) != closing.end();
}

bool isBullet(QChar c) {
    static constexpr std::array<char16_t, 5> bullets{u'-', u'*', u'\u2022', u'\u2013', u'\u2014'};
    return std::find(bullets.begin(), bullets.end(), c.unicode()) != bullets.end();
}

bool isLineSpace(QChar c) {
    return c.isSpace() && c != QLatin1Char('\n');
}

// Titles that are written with a period and never end a sentence by it.
bool isAbbreviation(QStringView word) {
    static const std::array<QStringView, 20> known{
        u"mr",  u"mrs", u"ms",   u"dr", u"prof", u"st", u"mt", u"jr",  u"sr",  u"rev",
        u"gen", u"col", u"capt", u"lt", u"sgt",  u"vs", u"cf", u"fig", u"vol", u"approx"};
    return std::any_of(known.begin(), known.end(), [&](QStringView abbreviation) {
        return word.compare(abbreviation, Qt::CaseInsensitive) == 0;
    });
}

// Whether the "." at `period` follows the number of a list item ("1. Mix them well.").
bool closesItemNumber(const QString& text, int period) {
    int start = period;
    while (start > 0 && text[start - 1].isDigit())
        --start;
    if (start == period)
        return false;
    while (start > 0 && isLineSpace(text[start - 1]))
        --start;
    return start == 0 || text[start - 1] == QLatin1Char('\n');
}

// Whether the "." at `period` closes an abbreviation, an initial or an item's number rather
// than a sentence: the word before it is a single letter other than "I" ("J.", "e.g." on its first
// period), holds periods of its own ("e.g", "U.S") or is a known title.
bool closesAbbreviation(const QString& text, int period) {
    if (closesItemNumber(text, period))
        return true;
    int start = period;
    while (start > 0 && (text[start - 1].isLetter() || text[start - 1] == QLatin1Char('.')))
        --start;
    const QStringView word = QStringView(text).mid(start, period - start);
    return !word.isEmpty() && ((word.size() == 1 && word != u"I") ||
                               word.contains(QLatin1Char('.')) || isAbbreviation(word));
}

// Whether the text after `last` goes on in small letters on the same line ("etc. and",
// "Wait... then"): the sentence goes on too.
bool goesOnInSmallLetters(const QString& text, int last) {
    int next = last + 1;
    while (next < text.size() && isLineSpace(text[next]))
        ++next;
    return next < text.size() && text[next].isLower();
}

// Whether a line starts a list item: a bullet, or a number followed by "." or ")", then a
// space.
bool startsListItem(QStringView line) {
    if (line.size() >= 2 && isBullet(line[0]) && line[1].isSpace())
        return true;
    qsizetype digits = 0;
    while (digits < line.size() && line[digits].isDigit())
        ++digits;
    return digits > 0 && digits + 1 < line.size() &&
           (line[digits] == QLatin1Char('.') || line[digits] == QLatin1Char(')')) &&
           line[digits + 1].isSpace();
}

// The paragraph end at the line break `lineBreak`: the index of the last character of the
// line before it when that line ends a heading, a list item or a paragraph, else -1. A line
// ending in its own mark is left to the mark.
int paragraphEndAt(const QString& text, int lineBreak) {
    int last = lineBreak - 1;
    while (last >= 0 && isLineSpace(text[last]))
        --last;
    if (last < 0 || text[last] == QLatin1Char('\n') || isEndMark(text[last]) ||
        isClosing(text[last]))
        return -1;
    const int lineStart = int(text.lastIndexOf(QLatin1Char('\n'), last)) + 1;
    int next = lineBreak + 1;
    while (next < text.size() && isLineSpace(text[next]))
        ++next;
    if (next >= text.size())
        return -1; // the end of the text ends the sentence anyway
    if (text[next] == QLatin1Char('\n'))
        return last; // an empty line follows: a new paragraph
    const qsizetype nextBreak = text.indexOf(QLatin1Char('\n'), next);
    const QStringView line = QStringView(text).mid(lineStart, last + 1 - lineStart).trimmed();
    const QStringView nextLine =
        QStringView(text).mid(next, (nextBreak < 0 ? text.size() : nextBreak) - next).trimmed();
    if (startsListItem(line) || startsListItem(nextLine))
        return last;
    // A heading or caption: a line that says no more than a short part of the next one,
    // which starts anew. A line broken inside a sentence is about as long as the next.
    const QChar ending = text[last];
    const bool open = ending == QLatin1Char(',') || ending == QLatin1Char(';') ||
                      ending == QLatin1Char(':') || isBullet(ending);
    const bool startsAnew = nextLine[0].isUpper() || nextLine[0].isDigit();
    return !open && startsAnew && line.size() * 4 < nextLine.size() * 3 ? last : -1;
}

int nextPunctuationEnd(const QString& text, int from) {
    const int size = int(text.size());
    for (int i = from; i < size; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\n')) {
            if (const int end = paragraphEndAt(text, i); end >= from)
                return end;
            continue;
        }
        if (!isEndMark(c))
            continue;
        int last = i;
        bool onlyOnePeriod = c == QLatin1Char('.'); // and no other mark after it
        while (last + 1 < size && (isEndMark(text[last + 1]) || isClosing(text[last + 1]))) {
            ++last;
            onlyOnePeriod = onlyOnePeriod && !isEndMark(text[last]);
        }
        const bool followedByBreak = last + 1 >= size || text[last + 1].isSpace();
        const bool period = text[i] == QLatin1Char('.');
        if (followedByBreak && !(onlyOnePeriod && closesAbbreviation(text, i)) &&
            !(period && goesOnInSmallLetters(text, last)))
            return last;
        i = last;
    }
    return -1;
}

int nextFullStop(const QString& text, int from) {
    for (qsizetype period = text.indexOf(QLatin1Char('.'), from); period != -1;
         period = text.indexOf(QLatin1Char('.'), period + 1)) {
        const bool decimal = period + 1 < text.size() && text[period + 1] >= QLatin1Char('0') &&
                             text[period + 1] <= QLatin1Char('9');
        if (!decimal)
            return int(period);
    }
    return -1;
}

} // namespace

SentenceEnds sentenceEndsOf(int setting) {
    return setting == int(SentenceEnds::Punctuation) ? SentenceEnds::Punctuation
                                                     : SentenceEnds::FullStops;
}

int nextSentenceEnd(const QString& text, int from, SentenceEnds rule) {
    from = std::max(from, 0);
    return rule == SentenceEnds::Punctuation ? nextPunctuationEnd(text, from)
                                             : nextFullStop(text, from);
}

} // namespace folimar::sentences
