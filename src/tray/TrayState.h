#pragma once

#include <QtGlobal>

namespace folimar::tray {

// What the tray reader remembers between its commands. QuitRequested is the reader's
// (ReaderState), which the reader window sets too.
struct TrayState {
    bool ShownFromTray = false; // closing the reader window hands it back to the tray
    bool ResumeOnShow = false;  // reading was started and not stopped: a left click reads on
    // The reader window's last state other than minimised (0 normal, 2 maximised), restored
    // when the tray shows it.
    qint16 ReaderWindowState = 0;
};

} // namespace folimar::tray
