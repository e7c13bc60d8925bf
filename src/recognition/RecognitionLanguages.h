#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

namespace folimar::recognition {

// The folder of Tesseract's language data: $TESSDATA_PREFIX (the folder itself, or one
// holding "tessdata") when set, else Debian's.
QString tessdataFolder();
// The recognition languages installed in `folder` ("eng", "deu", ...), sorted; the
// orientation and equation data are not languages.
QStringList installedLanguages(const QString& folder);
// How the options window names a language: "English (eng)", "Chinese (chi_sim)"; a code
// the desktop cannot name stays as it is.
QString languageName(const QString& language);
// The language for `locale` when its pack is installed, else English ("eng").
QString defaultLanguage(const QStringList& installed, const QLocale& locale);
// Whether every language of `languages` ("eng" or "eng+deu") is installed in `folder`.
bool languagesInstalled(const QString& folder, const QString& languages);
// What to tell the user when `languages` are not all installed: the packs to install.
QString missingLanguageMessage(const QString& folder, const QString& languages);

} // namespace folimar::recognition
