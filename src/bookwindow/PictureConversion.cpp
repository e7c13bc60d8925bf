#include "bookwindow/PictureConversion.h"

#include "bookwindow/BookWindowLog.h"
#include "platform/clock/Clock.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/paths/InstalledFiles.h"
#include "platform/process/ProcessLauncher.h"
#include "settings/PasteQuality.h"

#include <QDir>
#include <QFile>
#include <QImage>

namespace folimar::bookwindow {

namespace {
const QString BitmapName = QStringLiteral("temp.bmp");
const QString JpegName = QStringLiteral("temp.jpg");
} // namespace

PictureConversion::PictureConversion(QString programFolder,
                                     const platform::InstalledFiles& installed,
                                     platform::ProcessLauncher& launcher, platform::Clock& clock,
                                     platform::Dialogs& dialogs, QObject* parent)
    : QObject(parent), programFolder_(std::move(programFolder)), installed_(installed),
      launcher_(launcher), clock_(clock), dialogs_(dialogs) {}

PictureConversion::~PictureConversion() {
    cancel();
}

QStringList PictureConversion::converterArguments(const QString& pasteQuality) {
    if (!settings::isPasteQuality(pasteQuality))
        qCInfo(bookWindowLog) << "paste quality" << pasteQuality << "is not 0-100; using"
                              << settings::DefaultPasteQuality;
    return {QStringLiteral("-Q%1").arg(settings::pasteQualityOf(pasteQuality)), BitmapName};
}

bool PictureConversion::start(const QImage& picture, const QString& pasteQuality) {
    cancel();
    // The converter reads uncompressed 24- and 32-bit bitmaps; Qt writes 32-bit pictures as
    // 24-bit ones.
    const QString bitmap = programFolder_ + QLatin1Char('/') + BitmapName;
    if (!picture.convertToFormat(QImage::Format_RGB32).save(bitmap, "BMP")) {
        qCWarning(bookWindowLog) << "could not write" << bitmap;
        return false;
    }
    const QString converter = installed_.program(QStringLiteral("bmp2jpg"));
    if (converter.isEmpty()) {
        dialogs_.inform(QStringLiteral("Please re-install Folimar"),
                        QStringLiteral("File not Found"), platform::MessageIcon::Critical);
        return false;
    }
    run_ = launcher_.start(converter, converterArguments(pasteQuality), programFolder_);
    if (!run_)
        return false;
    const quint64 serial = ++serial_;
    connect(run_.get(), &platform::ProcessRun::finished, this, [this, serial](bool succeeded) {
        if (serial != serial_ || !run_)
            return;
        if (!succeeded)
            qCWarning(bookWindowLog) << "the picture converter failed";
        end(succeeded, succeeded ? QString() : QStringLiteral("the converter failed"));
    });
    clock_.singleShot(DeadlineMs, this, [this, serial] {
        if (serial != serial_ || !run_)
            return;
        qCWarning(bookWindowLog) << "the picture converter did not finish in" << DeadlineMs
                                 << "ms; stopped it";
        run_->kill();
        removeUnfinishedOutput();
        end(false, QStringLiteral("the converter did not finish in %1 s").arg(DeadlineMs / 1000));
    });
    return true;
}

void PictureConversion::cancel() {
    if (!run_)
        return;
    ++serial_;
    run_.reset(); // stops the converter
}

void PictureConversion::end(bool converted, const QString& failure) {
    ++serial_;
    dropRun();
    Q_EMIT finished(converted, failure);
}

// A converter stopped while writing leaves its unfinished JPEG beside "temp.jpg".
void PictureConversion::removeUnfinishedOutput() {
    const QDir folder(programFolder_);
    for (const QString& name :
         folder.entryList({QStringLiteral(".bmp2jpg-*")}, QDir::Files | QDir::Hidden))
        QFile::remove(folder.filePath(name));
}

// The run may be the sender of the signal being handled: it goes once that is over.
void PictureConversion::dropRun() {
    platform::ProcessRun* run = run_.release();
    disconnect(run, nullptr, this, nullptr);
    run->deleteLater();
}

} // namespace folimar::bookwindow
