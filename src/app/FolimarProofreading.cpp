// The doubtful words of the pages, wired to the windows.
#include "app/FolimarProgram.h"
#include "bookwindow/BookWindow.h"
#include "proofreading/PageProofreader.h"
#include "reader/ProofreadingMarks.h"
#include "reader/ReaderTextEdit.h"
#include "reader/ReaderWindow.h"
#include "recognition/RecognitionSettings.h"
#include "store/BookStore.h"
#include "topics/TopicManager.h"

namespace folimar::app {

void FolimarProgram::createProofreading() {
    proofreader_ = std::make_unique<proofreading::PageProofreader>();
    auto* text = qobject_cast<reader::ReaderTextEdit*>(readerWindow_->Text1);
    proofreadingMarks_ = std::make_unique<reader::ProofreadingMarks>(
        reader::ProofreadingMarks::Parts{readerState_, *text, readerWindow_->textBox(), *reader_,
                                         *host_, *proofreader_, *store_,
                                         recognition::RecognitionSettings::defaultPath()},
        [this](bool forward) { return turnToDoubtfulPage(forward); });
    QObject::connect(proofreadingMarks_.get(), &reader::ProofreadingMarks::marked,
                     bookWindow_.get(), &bookwindow::BookWindow::markDoubtfulWords);
    QObject::connect(proofreadingMarks_.get(), &reader::ProofreadingMarks::walkedTo,
                     bookWindow_.get(), &bookwindow::BookWindow::showWordBoxes);
    // A new picture, or none, drops the boxes (and their confidences) the text was marked
    // with; reading it brings new ones. A paste given up shows the old picture again.
    QObject::connect(bookWindow_.get(), &bookwindow::BookWindow::wordBoxesChanged,
                     proofreadingMarks_.get(), &reader::ProofreadingMarks::refresh);
    QObject::connect(bookWindow_.get(), &bookwindow::BookWindow::pasteFinished,
                     proofreadingMarks_.get(), &reader::ProofreadingMarks::refresh);
}

void FolimarProgram::walkDoubtful(bool forward) {
    if (!proofreadingMarks_->walk(forward))
        dialogs_.beep();
}

// The nearest page that way with a doubtful word, shown as the topic list shows any page
// (a page with unstored edits asks to be stored first, and stays).
bool FolimarProgram::turnToDoubtfulPage(bool forward) {
    const QList<store::TopicPage> pages = store_->topicTexts();
    const int step = forward ? 1 : -1;
    for (int index = settings_.TopicIndex + step; index >= 0 && index < pages.size();
         index += step) {
        const store::TopicPage& page = pages[index];
        if (proofreader_->doubtfulOf(page.PicText, store_->topicWordBoxes(page.TopicNo))
                .isEmpty())
            continue;
        showTopicNumbered(page.TopicNo);
        return settings_.TopicIndex == index && !readerState_.TopicDirty;
    }
    return false;
}

} // namespace folimar::app
