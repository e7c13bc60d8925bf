#pragma once

#include "platform/database/Connection.h"
#include "store/TopicRecords.h"

#include <QList>
#include <utility>
#include <vector>

// The notes that go with a change to the book's topics. The notes file is attached to the
// book's connection as "notes", so that the change and its notes commit together.
namespace folimar::store::topicnotes {

// A topic's number before and after a change.
using Renumbering = std::pair<qint64, qint64>;

// Moves the note of each renumbered topic to its new number, all at once, so that no note
// lands on one that is still to move. A note already on a new number belongs to no topic:
// it goes. The first topic of a number takes its note.
database::Status moveNotes(database::Connection& book, const std::vector<Renumbering>& moves);
// Deletes the notes of `topicNo` once the book has no topic of that number left.
database::Status dropNotesWithoutTopic(database::Connection& book, qint64 topicNo);
// Adds the notes as they are given (already numbered for this book), each replacing a note
// left on its number.
database::Status addNotes(database::Connection& book, const QList<NoteEntry>& notes);

} // namespace folimar::store::topicnotes
