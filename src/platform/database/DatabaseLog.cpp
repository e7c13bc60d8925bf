#include "platform/database/DatabaseLog.h"

Q_LOGGING_CATEGORY(lcDatabase, "folimar.database", QtWarningMsg)
