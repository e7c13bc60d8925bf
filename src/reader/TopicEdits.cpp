#include "reader/TopicEdits.h"

#include "reader/ReaderState.h"
#include "settings/Settings.h"
#include "store/BookStore.h"

namespace folimar::reader {

void markTopicEdited(ReaderState& state, const store::BookStore& store,
                     const settings::Settings& settings) {
    if (!store.ReadOnlyMode)
        state.TopicDirty = true;
    if (!store.BookOwner.isEmpty() && store.BookOwner != settings.UserName)
        state.TopicDirty = false;
}

} // namespace folimar::reader
