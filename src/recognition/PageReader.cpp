#include "recognition/PageReader.h"

#include "recognition/PagePreparation.h"
#include "recognition/ParagraphLines.h"
#include "recognition/RecognitionLanguages.h"
#include "recognition/RecognitionLog.h"

#include <algorithm>
#include <QScopeGuard>
#include <memory>
#include <omp.h>
#include <tesseract/baseapi.h>
#include <tesseract/ocrclass.h>
#include <tesseract/resultiterator.h>

namespace folimar::recognition {

namespace {

// Scans without a resolution of their own are taken as the usual 300 dpi.
constexpr int DefaultDpi = 300;
constexpr double InchesPerMetre = 0.0254;
// Tesseract's `thresholding_method`s: one Otsu threshold for the page; Sauvola's local one.
constexpr const char* Otsu = "0";
constexpr const char* Sauvola = "2";

// The engine's monitor, carrying the reading's control to the callbacks.
struct Monitor : tesseract::ETEXT_DESC {
    explicit Monitor(ReadControl& control) : control(control) {
        cancel = &Monitor::cancelNow;
        cancel_this = this;
        progress_callback2 = &Monitor::progressed;
    }
    static bool cancelNow(void* self, int) {
        return static_cast<Monitor*>(self)->control.cancelled.load();
    }
    static bool progressed(tesseract::ETEXT_DESC* desc, int, int, int, int) {
        auto* self = static_cast<Monitor*>(desc);
        if (self->progress != self->reported && self->control.progress) {
            self->reported = self->progress;
            self->control.progress(self->progress);
        }
        return true;
    }
    ReadControl& control;
    int reported = -1;
};

int dpiOf(const QImage& picture) {
    const int dpi = int(picture.dotsPerMeterX() * InchesPerMetre + 0.5);
    return dpi >= 70 && dpi <= 2400 ? dpi : DefaultDpi;
}

PageText collect(tesseract::TessBaseAPI& engine) {
    std::unique_ptr<tesseract::ResultIterator> it(engine.GetIterator());
    if (!it)
        return {};
    QList<ReadLine> lines;
    constexpr auto Word = tesseract::RIL_WORD;
    bool paragraphStart = true;
    bool lineStart = true;
    do {
        if (it->Empty(Word))
            continue;
        if (it->IsAtBeginningOf(tesseract::RIL_PARA))
            paragraphStart = true;
        else if (it->IsAtBeginningOf(tesseract::RIL_TEXTLINE))
            lineStart = true;
        const std::unique_ptr<char[]> word(it->GetUTF8Text(Word));
        int left = 0, top = 0, right = 0, bottom = 0;
        if (!word || !it->BoundingBox(Word, &left, &top, &right, &bottom))
            continue;
        if (paragraphStart || lineStart)
            lines.append(ReadLine{paragraphStart, {}});
        paragraphStart = lineStart = false;
        const float confidence = std::clamp(it->Confidence(Word), 0.0f, 100.0f);
        lines.back().words.append({QString::fromUtf8(word.get()),
                                   QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)),
                                   qint32(confidence + 0.5f)});
    } while (it->Next(Word));
    keepShortLastLines(lines);
    return layOutLines(lines);
}

} // namespace

PageReader::PageReader() = default;
PageReader::~PageReader() = default;

ReadOutcome PageReader::read(const QImage& picture, const QString& tessdata,
                             const QString& languages, ReadControl& control) {
    if (!languagesInstalled(tessdata, languages))
        return {ReadOutcome::Status::Failed, {}, missingLanguageMessage(tessdata, languages)};
    if (picture.isNull())
        return {ReadOutcome::Status::Failed,
                {},
                QStringLiteral("The picture of this page cannot be read.")};
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    if (grey.isNull())
        return {ReadOutcome::Status::Failed,
                {},
                QStringLiteral("The picture of this page is too large to read.")};

    // Read from a copy seen square on and turned level; the words' boxes are then put back
    // onto the picture.
    const StraightPicture level = preparePage(grey);

    if (!engine_ || tessdata != tessdata_ || languages != languages_) {
        engine_ = std::make_unique<tesseract::TessBaseAPI>();
        tessdata_ = tessdata;
        languages_ = languages;
        if (engine_->Init(tessdata.toLocal8Bit().constData(), languages.toUtf8().constData(),
                          tesseract::OEM_DEFAULT) != 0) {
            engine_.reset();
            return {ReadOutcome::Status::Failed, {}, missingLanguageMessage(tessdata, languages)};
        }
        engine_->SetPageSegMode(tesseract::PSM_AUTO);
        qCInfo(recognitionLog) << "engine loaded for" << languages;
    }
    tesseract::TessBaseAPI& engine = *engine_;
    // The engine would share each step of reading a line among helper threads that wait for
    // one another at every step: on a few cores shared with the window and the voice that
    // takes several times the work, and longer than reading on this thread alone (an A4
    // page on two cores: 9 s against 1.5 s), for the same text. The setting belongs to the
    // calling thread, so each reading makes it for its own.
    omp_set_max_active_levels(0);
    // Where the light falls unevenly, black and white by a threshold of each pixel's own
    // neighbourhood (Sauvola's): on the photographed test page (tests/recognition/
    // ocr_quality) it read 99.5 % of the words against 75.5 % with one threshold. Even pages
    // keep the one threshold, which leaves the specks of empty paper white.
    engine.SetVariable("thresholding_method", lightIsUneven(level.picture) ? Sauvola : Otsu);
    engine.SetImage(level.picture.constBits(), level.picture.width(), level.picture.height(), 1,
                    int(level.picture.bytesPerLine()));
    engine.SetSourceResolution(dpiOf(picture));

    Monitor monitor(control);
    const int failed = engine.Recognize(&monitor);
    // The page's results are let go once collected; the engine stays for the next page.
    const auto clear = qScopeGuard([&engine] { engine.Clear(); });
    if (control.cancelled)
        return {ReadOutcome::Status::Cancelled, {}, {}};
    if (failed != 0) {
        qCInfo(recognitionLog) << "recognition failed on a" << grey.size() << "picture";
        return {ReadOutcome::Status::Failed,
                {},
                QStringLiteral("The text of this page could not be read.")};
    }
    PageText page = collect(engine);
    for (WordBox& word : page.words)
        word.box = mapToOriginal(word.box, level.toOriginal, grey.size());
    return {ReadOutcome::Status::Read, std::move(page), {}};
}

ReadOutcome readPage(const QImage& picture, const QString& tessdata, const QString& languages,
                     ReadControl& control) {
    PageReader reader;
    return reader.read(picture, tessdata, languages, control);
}

} // namespace folimar::recognition
