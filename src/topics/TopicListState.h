#pragma once

#include <QtGlobal>

namespace folimar::topics {

// The topic list's own flags and counters, shared by the topic manager, the notes window,
// the shutdown watch and the windows that show topics through the list.
struct TopicListState {
    bool TopicAdded = false;          // Add/Edit rebuilds the list afterwards
    bool SeekDone = false;            // Find left BookTable on the topic to show
    bool RestoringTopic = false;      // the saved topic and place are being restored
    bool OwnerNoticeMuted = false;    // the next owner stamping shows no notice
    bool LoadingNotes = false;        // the notes window is being filled, not typed into
    qint16 WaitTicks = 0;             // 10 ms countdown (the picture paste waits on it)
    bool TopicsUnloadAllowed = false; // a close request really unloads the topic manager
};

} // namespace folimar::topics
