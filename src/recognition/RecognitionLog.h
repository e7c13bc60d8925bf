#pragma once

#include <QLoggingCategory>

namespace folimar::recognition {
Q_DECLARE_LOGGING_CATEGORY(recognitionLog)
}
