#pragma once

#include "platform/character/Character.h"

#include <QByteArray>
#include <QtGlobal>

namespace folimar::reader {

// The flags through which the reading operations, the character's notifications and the
// windows steer the one running play loop. All clear at start-up; `TopicIndex` and
// `ReadPos` live in the settings because they are saved with them.
struct ReaderState {
    bool Paused = false;        // pause requested or in force
    bool StopRequested = false; // the loop ends at its next check
    bool LoopActive = false;    // the running loop found the character hidden and showed it
    bool RequestDone = false;   // the request in SpeechRequest has completed
    bool FirstWaitDone = false; // the first play waited for the character's start-up request
    character::RequestId SpeechRequest = 0; // the request whose completion is awaited
    bool JumpPending = false;               // the loop takes JumpPos at its next sentence
    qint32 JumpPos = 0;
    bool UserMoved = false;    // the user moved the reading place since the last sentence
    bool RestartTopic = false; // moved during the text's last sentence: restart, don't advance
    bool SkipPause = false;    // the next pause check resumes at once, without rewinding
    bool NextPressed = false;  // next sentence asked: no single-topic halt at the topic's end
    // Makes every pause check resume at once without rewinding. Nothing in the reader sets
    // it (previous sentence is PreviousSentence); it stays for windows that want that mode.
    bool NoRewind = false;
    qint32 FindPos = 0;            // where the next search starts
    bool FindActive = false;       // a search placed the caret: keep FindPos once
    bool TopicDirty = false;       // the text box holds edits not stored in the topic
    bool QuitPending = false;      // the reader window was closed while the character showed
    bool QuitRequested = false;    // save the settings and end
    bool ListEventsMuted = false;  // the topic list ignores the de-selection in progress
    bool SelectedByReader = false; // the topic list selection comes from the play loop

    // Reading places of the reader's popup menu (topic index, text position): the bookmark
    // Set puts down and Goto returns to, and the place Back returns to. Page turning in the
    // book window sets the back topic too.
    qint16 BookmarkTopicIndex = 0;
    qint32 BookmarkReadPos = 0;
    qint16 BackTopicIndex = 0;
    qint32 BackReadPos = 0;

    // The boxes on the page picture of the words recognised in it (a word box blob), kept
    // with the topic when it is stored; empty when the page has none. A new picture drops them.
    QByteArray WordBoxes;
};

} // namespace folimar::reader
