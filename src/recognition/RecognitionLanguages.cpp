#include "recognition/RecognitionLanguages.h"

#include <QDir>
#include <QFileInfo>

namespace folimar::recognition {

namespace {

constexpr char DebianFolder[] = "/usr/share/tesseract-ocr/5/tessdata";
const QString DataSuffix = QStringLiteral(".traineddata");

QStringList wanted(const QString& languages) {
    return languages.split(u'+', Qt::SkipEmptyParts);
}

bool installed(const QString& folder, const QString& language) {
    // A name that could leave the folder is no language of ours.
    if (language.contains(u'/') || language.startsWith(u'.'))
        return false;
    return QFileInfo(folder + u'/' + language + DataSuffix).isFile();
}

} // namespace

QString tessdataFolder() {
    const QString prefix = qEnvironmentVariable("TESSDATA_PREFIX");
    if (!prefix.isEmpty()) {
        const QString nested = QDir(prefix).filePath(QStringLiteral("tessdata"));
        return QFileInfo(nested).isDir() ? nested : QDir::cleanPath(prefix);
    }
    return QString::fromLatin1(DebianFolder);
}

QStringList installedLanguages(const QString& folder) {
    QStringList languages;
    const QStringList files =
        QDir(folder).entryList({u'*' + DataSuffix}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QString& file : files) {
        const QString language = file.chopped(DataSuffix.size());
        if (language != QLatin1String("osd") && language != QLatin1String("equ"))
            languages.append(language);
    }
    return languages;
}

QString languageName(const QString& language) {
    const QLocale::Language named =
        QLocale::codeToLanguage(language.section(u'_', 0, 0), QLocale::ISO639Part2);
    if (named == QLocale::AnyLanguage || named == QLocale::C)
        return language;
    return QStringLiteral("%1 (%2)").arg(QLocale::languageToString(named), language);
}

QString defaultLanguage(const QStringList& installed, const QLocale& locale) {
    const QString code = QLocale::languageToCode(locale.language(), QLocale::ISO639Part2T);
    return installed.contains(code) ? code : QStringLiteral("eng");
}

bool languagesInstalled(const QString& folder, const QString& languages) {
    const QStringList list = wanted(languages);
    return !list.isEmpty() && std::all_of(list.begin(), list.end(), [&](const QString& language) {
        return installed(folder, language);
    });
}

QString missingLanguageMessage(const QString& folder, const QString& languages) {
    QStringList packages;
    for (const QString& language : wanted(languages)) {
        if (!installed(folder, language))
            packages.append(QStringLiteral("tesseract-ocr-") +
                            language.toLower().replace(u'_', u'-'));
    }
    if (packages.isEmpty())
        packages.append(QStringLiteral("tesseract-ocr-eng"));
    return QStringLiteral("The text recognition language \"%1\" is not installed.\n"
                          "Install the package %2 and try again.")
        .arg(languages, packages.join(QStringLiteral(", ")));
}

} // namespace folimar::recognition
