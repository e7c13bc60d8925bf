#include "proofreading/PageProofreader.h"

#include "recognition/WordBoxBlob.h"

#include <algorithm>

namespace folimar::proofreading {

PageProofreader::PageProofreader(QStringList dictionaryFolders)
    : folders_(std::move(dictionaryFolders)) {}

PageProofreader::~PageProofreader() = default;

void PageProofreader::setLanguages(const QString& languages) {
    if (languages == languages_)
        return;
    languages_ = languages;
    marker_.reset();
    dictionary_.reset();
    pageKnown_ = false;
}

void PageProofreader::setBookWords(const QStringList& words) {
    bookWords_ = words;
    if (marker_)
        marker_->setBookWords(words);
    pageKnown_ = false;
}

void PageProofreader::addBookWord(const QString& word) {
    bookWords_.append(word);
    if (marker_)
        marker_->addBookWord(word);
    pageKnown_ = false;
}

DoubtfulWords& PageProofreader::marker() {
    if (!marker_) {
        dictionary_ = std::make_unique<SpellingDictionary>(languages_, folders_);
        marker_ = std::make_unique<DoubtfulWords>(dictionary_.get(), ProofreadingRules{});
        marker_->setBookWords(bookWords_);
    }
    return *marker_;
}

const PageProofreader::Page& PageProofreader::page(const QString& text,
                                                   const QByteArray& wordBoxes) {
    if (pageKnown_ && text == text_ && wordBoxes == boxes_)
        return page_;
    text_ = text;
    boxes_ = wordBoxes;
    pageKnown_ = true;
    const std::optional<recognition::PageText> recognised =
        recognition::decodeWordBoxes(wordBoxes);
    page_.placed = recognised ? recognition::placeWords(text, *recognised)
                              : QList<recognition::PlacedWord>();
    page_.doubtful = marker().mark(text, page_.placed);
    return page_;
}

QList<DoubtfulWord> PageProofreader::doubtfulOf(const QString& text,
                                                const QByteArray& wordBoxes) {
    const std::optional<recognition::PageText> recognised =
        recognition::decodeWordBoxes(wordBoxes);
    return marker().mark(text, recognised ? recognition::placeWords(text, *recognised)
                                          : QList<recognition::PlacedWord>());
}

QList<QRect> boxesAt(const QList<recognition::PlacedWord>& placed, qint32 offset) {
    const auto holding = std::find_if(placed.cbegin(), placed.cend(), [offset](const auto& word) {
        return word.offset <= offset && offset < word.offset + word.length;
    });
    return holding == placed.cend() ? QList<QRect>() : holding->boxes;
}

} // namespace folimar::proofreading
