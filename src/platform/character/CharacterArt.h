#pragma once

#include <QHash>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <memory>

class QSvgRenderer;

namespace folimar::character {

// The pictures of one character as read from its file: frames made of SVG layers drawn in
// order, and named animations that run through frames.
struct CharacterArt {
    struct Animation {
        QStringList frames;
        int intervalMs = 250;
        bool loop = false;
    };
    using Frame = QList<std::shared_ptr<QSvgRenderer>>;

    QString name;
    QSize size; // the character's own size in pixels
    QHash<QString, Frame> frames;
    QHash<QString, Animation> animations;
};

} // namespace folimar::character
