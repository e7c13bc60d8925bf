#include "speechexport/AudioWriter.h"

namespace folimar::speechexport {

AudioWriter::~AudioWriter() = default;

} // namespace folimar::speechexport
