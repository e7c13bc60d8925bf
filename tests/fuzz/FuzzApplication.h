#pragma once

#include <QGuiApplication>

namespace folimar::fuzz {

// Qt's documents, pictures and SVG drawing want an application object; fuzzing runs headless.
inline void startGuiApplication() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
}

inline QByteArray bytesOf(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

} // namespace folimar::fuzz
