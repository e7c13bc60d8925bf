#pragma once

#include <QString>

namespace folimar::recognition {

// The user's choices for reading text from pictures, kept in a small file of its own
// per user beside the voice settings.
struct RecognitionSettings {
    bool readPastedPicture = true; // a picture pasted on a page without text is read at once
    QString languages;             // "eng", "eng+deu"; empty: the desktop's language
    bool showSpokenSentence = true; // the sentence being read is marked on the page picture
    bool straightenPasted = true;   // a pasted picture is stored turned level
    // Doubtful words (unsure recognition, unknown spelling) are marked in the reader's text
    // and outlined on the page picture.
    bool markDoubtfulInText = true;
    bool markDoubtfulOnPicture = true;

    // `$XDG_CONFIG_HOME/folimar/recognition.conf`.
    static QString defaultPath();
    // Reads the file; a missing file or odd values keep the defaults.
    static RecognitionSettings load(const QString& path);
    bool save(const QString& path) const;
    // The languages to read with: those chosen, else the desktop's when its pack is
    // installed, else English.
    QString languagesToRead() const;

    friend bool operator==(const RecognitionSettings&, const RecognitionSettings&) = default;
};

} // namespace folimar::recognition
