#pragma once

#include <QByteArray>
#include <QString>

namespace folimar::import {

// One page made ready to store: its picture as a JPEG, its text and word boxes; or why it
// could not be made (`failure`), when the page is skipped.
struct ImportedPage {
    QString name;
    QByteArray jpeg;
    QString text;
    QByteArray wordBoxes;
    QString failure;
    QString textWarning; // why no text could be read from the picture; empty when none
};

} // namespace folimar::import
