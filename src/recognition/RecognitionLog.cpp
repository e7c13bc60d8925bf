#include "recognition/RecognitionLog.h"

namespace folimar::recognition {
Q_LOGGING_CATEGORY(recognitionLog, "folimar.recognition", QtWarningMsg)
}
