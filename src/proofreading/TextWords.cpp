#include "proofreading/TextWords.h"

namespace folimar::proofreading {

namespace {

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c.isMark();
}

bool isJoiner(QChar c) {
    return c == u'\'' || c == u'-' || c == QChar(0x2019) || c == QChar(0x2010);
}

} // namespace

QList<TextWord> splitIntoWords(QStringView text) {
    QList<TextWord> words;
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        if (!isWordChar(text[i])) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        while (i < size && (isWordChar(text[i]) ||
                            (isJoiner(text[i]) && i + 1 < size && isWordChar(text[i + 1]))))
            ++i;
        words.append({qint32(start), qint32(i - start)});
    }
    return words;
}

} // namespace folimar::proofreading
