#pragma once

#include <QString>
#include <QtGlobal>

namespace folimar::settings {

// The user's choices, window layout, reading place and last book: the 30 fields of the
// settings line, in file order. Held in memory for the whole run and written at shutdown.
// Window geometry is in pixels.
struct Settings {
    QString BookPath;                      //  1
    QString CharacterPath = QStringLiteral("Genie"); //  2
    qint16 CharacterSize = 0;              //  3  -5..5
    qint16 PlayTopicsMode = 0;             //  4  0 Single, 1 All, 2 Continuous
    qint16 TopicIndex = 0;                 //  5
    qint32 ReadPos = 0;                    //  6
    qint16 AgentStartPos = 0;              //  7  0 Auto, 1 Saved
    qint16 RepeatMode = 0;                 //  8
    QString PasteQuality = QStringLiteral("75"); //  9
    qint16 WindowArrangement = 0;          // 10  0 Left, 1 Right, 2 Top, 3 Bottom
    qint16 AgentLeft = 0;                  // 11
    qint16 AgentTop = 0;                   // 12
    qint16 ReaderTop = 0;                  // 13
    qint16 ReaderLeft = 0;                 // 14
    qint16 ReaderWidth = 0;                // 15
    qint16 ReaderHeight = 0;               // 16
    qint16 BookTop = 0;                    // 17
    qint16 BookLeft = 0;                   // 18
    qint16 BookWidth = 0;                  // 19
    qint16 BookHeight = 0;                 // 20
    qint16 ReaderWindowState = 0;          // 21  0 normal, 1 minimised, 2 maximised
    qint16 BookWindowState = 0;            // 22
    QString LastFindText;                  // 23
    qint16 CapsAsSmall = 0;                // 24
    qint16 DefaultZoom = 0;                // 25  0 Window, 1 Fit
    qint16 PlayAtStartup = 0;              // 26  0 Yes, 1 No
    QString PrevBookPath;                  // 27
    qint16 PrevTopicIndex = 0;             // 28
    qint32 PrevReadPos = 0;                // 29
    QString UserName;                      // 30

    // Kept beside the settings line, in a file of later choices (see LaterSettings.h): the
    // line keeps its fields.
    qint16 SpokenWordMark = 0; // 0 Yes (the spoken word is underlined), 1 No
    qint16 SentenceEnds = 0;   // 0 full stops, 1 full stops, "?", "!" and paragraph ends
};

} // namespace folimar::settings
