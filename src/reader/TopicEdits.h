#pragma once

namespace folimar::settings {
struct Settings;
}
namespace folimar::store {
class BookStore;
}

namespace folimar::reader {

struct ReaderState;

// The user changed the reader text (typed, deleted, pasted): the topic now holds edits
// that are not stored. Edits to a read-only book, or to a book another user owns, can
// never be stored and so never count.
void markTopicEdited(ReaderState& state, const store::BookStore& store,
                     const settings::Settings& settings);

} // namespace folimar::reader
