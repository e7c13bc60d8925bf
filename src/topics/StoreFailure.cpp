#include "topics/StoreFailure.h"

#include "platform/database/Status.h"
#include "platform/dialogs/Dialogs.h"

namespace folimar::topics {

void TellStoreFailure(platform::Dialogs& dialogs, const QString& what,
                      const database::Status& status) {
    dialogs.inform(QStringLiteral("%1 could not be stored: %2").arg(what, status.message()),
                   QStringLiteral("Folimar"), platform::MessageIcon::Critical);
}

} // namespace folimar::topics
