#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace folimar::character {

// A text as SSML for a speech service that reports index marks: a mark named by its number
// before each word, the text escaped so that nothing in it reads as markup.
struct MarkedSpeech {
    struct Word {
        int offset = 0; // in the text
        int length = 0;
    };
    QByteArray ssml;   // UTF-8
    QList<Word> words; // mark n stands before words[n]

    // The word a reached mark names; nothing for a name that is not one of ours.
    const Word* wordOfMark(const char* name) const;
};

// Words are runs of characters between white space, without the punctuation around them;
// a run of punctuation alone gets no mark.
MarkedSpeech markedSpeech(const QString& text);

} // namespace folimar::character
