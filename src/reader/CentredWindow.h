#pragma once

class QWidget;

namespace folimar::reader {

// Places `window` at its size hint in the middle of its screen's free area.
void centreOnScreen(QWidget& window);

} // namespace folimar::reader
