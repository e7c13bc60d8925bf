#include "proofreading/SpellingDictionary.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QStringConverter>
#include <hunspell.h>

namespace folimar::proofreading {

namespace {

// The two-letter name of a language the recognition names by three letters, as
// dictionaries are named ("deu" is "de", found as "de_DE.dic").
QString dictionaryLanguage(const QString& language) {
    static const QHash<QString, QString> TwoLetters{
        {"eng", "en"}, {"deu", "de"}, {"fra", "fr"}, {"spa", "es"}, {"ita", "it"},
        {"nld", "nl"}, {"por", "pt"}, {"pol", "pl"}, {"ces", "cs"}, {"slk", "sk"},
        {"swe", "sv"}, {"dan", "da"}, {"nor", "nb"}, {"fin", "fi"}, {"hun", "hu"},
        {"ron", "ro"}, {"rus", "ru"}, {"ukr", "uk"}, {"ell", "el"}, {"tur", "tr"},
        {"hrv", "hr"}, {"slv", "sl"}, {"cat", "ca"}, {"bul", "bg"}, {"lit", "lt"},
        {"lav", "lv"}, {"est", "et"}, {"isl", "is"}, {"gle", "ga"}, {"eus", "eu"},
        {"glg", "gl"}, {"afr", "af"}, {"srp", "sr"}, {"heb", "he"}, {"ara", "ar"}};
    return TwoLetters.value(language, language);
}

// The dictionary of a language among those in `folders`: its own country's first
// ("de_DE"), else the first of its name in order ("en_AU" before "en_GB").
QString findDictionary(const QString& language, const QStringList& folders) {
    const QString two = dictionaryLanguage(language);
    const QString own = two + u'_' + two.toUpper();
    QString first;
    for (const QString& folder : folders) {
        const QStringList names = QDir(folder).entryList({two + QStringLiteral("_*.dic"),
                                                          two + QStringLiteral(".dic")},
                                                         QDir::Files, QDir::Name);
        for (const QString& name : names) {
            const QString path = folder + u'/' + name;
            const QString aff = path.chopped(4) + QStringLiteral(".aff");
            if (!QFileInfo::exists(aff))
                continue;
            if (name.chopped(4) == own)
                return path;
            if (first.isEmpty())
                first = path;
        }
    }
    return first;
}

} // namespace

struct SpellingDictionary::Dictionary {
    Hunhandle* handle = nullptr;
    QStringEncoder encoder;
    ~Dictionary() {
        if (handle)
            Hunspell_destroy(handle);
    }
};

QStringList SpellingDictionary::systemFolders() {
    return {QStringLiteral("/usr/share/hunspell"), QStringLiteral("/usr/local/share/hunspell")};
}

QStringList SpellingDictionary::languagesWithout(const QString& languages,
                                                const QStringList& folders) {
    QStringList without;
    for (const QString& language : languages.split(u'+', Qt::SkipEmptyParts)) {
        if (findDictionary(language, folders).isEmpty())
            without.append(language);
    }
    return without;
}

SpellingDictionary::SpellingDictionary(const QString& languages, const QStringList& folders) {
    for (const QString& language : languages.split(u'+', Qt::SkipEmptyParts)) {
        const QString dic = findDictionary(language, folders);
        auto dictionary = std::make_unique<Dictionary>();
        if (!dic.isEmpty()) {
            const QByteArray aff = QFile::encodeName(dic.chopped(4) + QStringLiteral(".aff"));
            dictionary->handle = Hunspell_create(aff.constData(), QFile::encodeName(dic).constData());
        }
        if (dictionary->handle)
            dictionary->encoder = QStringEncoder(Hunspell_get_dic_encoding(dictionary->handle));
        if (!dictionary->handle || !dictionary->encoder.isValid()) {
            without_.append(language);
            continue;
        }
        dictionaries_.push_back(std::move(dictionary));
    }
}

SpellingDictionary::~SpellingDictionary() = default;

bool SpellingDictionary::knows(QStringView word) const {
    QString plain = word.toString();
    plain.replace(QChar(0x2019), u'\''); // a typographic apostrophe, as dictionaries spell it
    for (const auto& dictionary : dictionaries_) {
        const QByteArray encoded = dictionary->encoder.encode(plain);
        if (dictionary->encoder.hasError()) {
            dictionary->encoder.resetState();
            continue; // a letter its encoding lacks: not a word of its language
        }
        if (Hunspell_spell(dictionary->handle, encoded.constData()) != 0)
            return true;
    }
    return false;
}

} // namespace folimar::proofreading
