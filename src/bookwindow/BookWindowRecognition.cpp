#include "bookwindow/BookWindow.h"
#include "bookwindow/PictureState.h"
#include "platform/dialogs/Dialogs.h"
#include "reader/ReaderState.h"
#include "recognition/RecognitionLanguages.h"
#include "recognition/RecognitionSettings.h"
#include "recognition/TextRecognition.h"
#include "recognition/WordBoxBlob.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

namespace folimar::bookwindow {

namespace {

const QString TextTitle = QStringLiteral("Text");

} // namespace

// The strip under the page that shows a reading's progress, with its Cancel button.
void BookWindow::createTextProgress() {
    recognition_ = new recognition::TextRecognition(recognition::tessdataFolder(), this);
    connect(recognition_, &recognition::TextRecognition::finished, this, &BookWindow::takePageText);

    textProgress_ = new QWidget(this);
    textProgress_->setObjectName(QStringLiteral("textProgress"));
    auto* layout = new QHBoxLayout(textProgress_);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(new QLabel(QStringLiteral("Reading the page's text"), textProgress_));
    prgText = new QProgressBar(textProgress_);
    prgText->setObjectName(QStringLiteral("prgText"));
    prgText->setRange(0, 100);
    layout->addWidget(prgText, 1);
    auto* cmdCancelText = new QPushButton(QStringLiteral("Cancel"), textProgress_);
    cmdCancelText->setObjectName(QStringLiteral("cmdCancelText"));
    layout->addWidget(cmdCancelText);
    connect(cmdCancelText, &QPushButton::clicked, this, &BookWindow::cancelPageText);
    connect(recognition_, &recognition::TextRecognition::progressed, prgText,
            &QProgressBar::setValue);
    statusBar()->addWidget(textProgress_, 1);
    statusBar()->setSizeGripEnabled(false);
    statusBar()->hide();
}

bool BookWindow::readingPageText() const {
    return recognition_->isRunning();
}

void BookWindow::readPageText() {
    if (!s_.picture.PictureShown || page_.isEmpty() || pasting()) {
        s_.dialogs.beep();
        return;
    }
    if (s_.state.TopicDirty && !replaceEditsAsked())
        return;
    startReadingText(true);
}

// The reader's unstored edits are the user's work: they go only when the user says so.
bool BookWindow::replaceEditsAsked() {
    return s_.dialogs.message({QStringLiteral("Replace the edited text with the text read from "
                                              "the picture?"),
                               TextTitle, platform::MessageIcon::Question,
                               platform::MessageButtons::YesNo}) ==
           platform::MessageAnswer::Yes;
}

void BookWindow::startReadingText(bool asked) {
    textAsked_ = asked;
    textAtStart_ = hooks_.readerText ? hooks_.readerText() : QString();
    clearSpokenSentence(); // its words are about to be read anew
    const QString languages =
        recognition::RecognitionSettings::load(s_.recognitionSettingsPath).languagesToRead();
    // Decoded on the worker, at its natural size within the decoder's memory limit.
    recognition_->start([page = page_] { return page.render(page.naturalSize()); }, languages);
    prgText->setValue(0);
    statusBar()->show();
}

bool BookWindow::cancelRunningPageText() {
    if (!readingPageText())
        return false;
    cancelPageText();
    return true;
}

void BookWindow::cancelPageText() {
    recognition_->cancel();
    statusBar()->hide();
}

// A picture pasted on a page without text is read at once, when the user wants that.
void BookWindow::readPastedPictureText() {
    if (!s_.picture.PictureShown || page_.isEmpty())
        return;
    if (!recognition::RecognitionSettings::load(s_.recognitionSettingsPath).readPastedPicture)
        return;
    if (hooks_.readerText && !hooks_.readerText().trimmed().isEmpty())
        return;
    startReadingText(false);
}

void BookWindow::takePageText(const recognition::ReadOutcome& outcome) {
    statusBar()->hide();
    if (outcome.status != recognition::ReadOutcome::Status::Read) {
        s_.dialogs.inform(outcome.message, TextTitle, platform::MessageIcon::Exclamation);
        return;
    }
    if (outcome.page.text.isEmpty()) {
        // A pasted picture without text (an illustration) is no news; a request is answered.
        if (textAsked_)
            s_.dialogs.inform(QStringLiteral("No text found on this page"), TextTitle,
                              platform::MessageIcon::Information);
        return;
    }
    // What the user typed while a pasted picture was read is theirs: it stays.
    if (!textAsked_ && hooks_.readerText && !hooks_.readerText().trimmed().isEmpty())
        return;
    // Edits typed while the picture was read are asked about as those made before.
    if (textAsked_ && hooks_.readerText && hooks_.readerText() != textAtStart_ &&
        s_.state.TopicDirty && !replaceEditsAsked())
        return;
    if (hooks_.takeRecognisedText)
        hooks_.takeRecognisedText(outcome.page.text);
    setWordBoxes(recognition::encodeWordBoxes(outcome.page));
}

} // namespace folimar::bookwindow
