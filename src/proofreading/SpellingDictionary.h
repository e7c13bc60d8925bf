#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace folimar::proofreading {

// The spelling dictionaries (hunspell's) of the languages a page is read in, as the
// recognition names them ("eng", "eng+deu"). A word is known when any of them knows it.
// Not for use on several threads at once.
class SpellingDictionary {
public:
    // The folders where the desktop's dictionaries are installed.
    static QStringList systemFolders();

    // Those of `languages` that have no dictionary in `folders`.
    static QStringList languagesWithout(const QString& languages,
                                        const QStringList& folders = systemFolders());

    // Opens a dictionary for each of `languages` that has one in `folders`.
    explicit SpellingDictionary(const QString& languages,
                                const QStringList& folders = systemFolders());
    ~SpellingDictionary();
    SpellingDictionary(const SpellingDictionary&) = delete;
    SpellingDictionary& operator=(const SpellingDictionary&) = delete;

    // No dictionary opened: nothing can be checked.
    bool isEmpty() const { return dictionaries_.empty(); }
    // The languages (as given) that have no dictionary installed.
    const QStringList& languagesWithout() const { return without_; }
    bool knows(QStringView word) const;

private:
    struct Dictionary;
    std::vector<std::unique_ptr<Dictionary>> dictionaries_;
    QStringList without_;
};

} // namespace folimar::proofreading
