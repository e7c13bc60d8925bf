#pragma once

#include <QString>

namespace folimar::database {
class Status;
}
namespace folimar::platform {
class Dialogs;
}

namespace folimar::topics {

// Says that a write to the book failed, with the reason the store gives (a critical box).
// The caller keeps what was to be stored, so nothing typed is lost.
void TellStoreFailure(platform::Dialogs& dialogs, const QString& what,
                      const database::Status& status);

} // namespace folimar::topics
