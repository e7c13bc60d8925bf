#include "store/StoreLog.h"

Q_LOGGING_CATEGORY(lcStore, "folimar.store", QtWarningMsg)
