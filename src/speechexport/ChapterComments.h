#pragma once

#include "speechexport/AudioWriter.h"

#include <QByteArray>
#include <QList>
#include <QPair>

namespace folimar::speechexport {

// "HH:MM:SS.mmm" of a sample position at `sampleRate`.
QByteArray clockTime(std::int64_t sample, int sampleRate);

// The comments an Ogg file carries for its title and chapters, in order: TITLE (when not
// empty), then for each chapter CHAPTERnnn=HH:MM:SS.mmm and CHAPTERnnnNAME=its title,
// numbered from 001. Players that know chapters show them from these.
QList<QPair<QByteArray, QByteArray>>
chapterComments(const QString& title, const QList<ChapterMark>& chapters, int sampleRate);

} // namespace folimar::speechexport
