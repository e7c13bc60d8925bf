#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

namespace folimar::bookexport {

// A sentence of a read-along page and where the voice says it in the page's sound.
struct ReadAlongSentence {
    QString text;
    bool startsParagraph = false;
    double begin = 0; // seconds into the page's sound
    double end = 0;
};

// One page of a read-along book: a topic, its sentences and, where it has them, its sound
// and its picture. `name` is the file names' stem ("topic001").
struct ReadAlongPage {
    QString name;
    QString heading; // never empty
    QList<ReadAlongSentence> sentences;
    double seconds = 0;   // the length of its sound; 0: it has none
    bool picture = false; // its picture is shown after the text
    QString pictureText;  // what the picture shows, for those who cannot see it
};

struct ReadAlongBook {
    QString identifier; // "urn:uuid:…"
    QString title;
    QString author;
    QString language; // BCP 47: "en", "de"
    QDateTime modified;
    QList<ReadAlongPage> pages;
};

// The documents of an EPUB 3 with Media Overlays, each as its file's bytes.
QByteArray epubContainer();
QByteArray epubStyle();
QByteArray epubPackage(const ReadAlongBook& book);
QByteArray epubNavigation(const ReadAlongBook& book);
QByteArray epubPage(const ReadAlongBook& book, const ReadAlongPage& page);
QByteArray epubOverlay(const ReadAlongPage& page);

// A clock value of Media Overlays: "0:01:02.500".
QString mediaClock(double seconds);

// The language of a book whose pages are read in `recognitionLanguages` ("eng+deu", as
// the recognition names them), for its metadata: "en"; "und" when it cannot be told.
QString bookLanguageOf(const QString& recognitionLanguages);

} // namespace folimar::bookexport
