#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QImage;

namespace folimar::platform {
class Clock;
class Dialogs;
class InstalledFiles;
class ProcessLauncher;
class ProcessRun;
} // namespace folimar::platform

namespace folimar::bookwindow {

// Turns a pasted picture into the page's JPEG "temp.jpg" in the program folder: saves it
// as "temp.bmp" and runs the converter on it there, then waits, without blocking, for the
// converter to end or for the deadline, whichever comes first. A converter still running
// at the deadline is stopped, so that it cannot replace a later page's JPEG, and its
// unfinished output removed. The converter replaces "temp.jpg" only when it succeeds: a
// failed conversion leaves the page's JPEG as it was.
class PictureConversion final : public QObject {
    Q_OBJECT
public:
    static constexpr int DeadlineMs = 5000;

    PictureConversion(QString programFolder, const platform::InstalledFiles& installed,
                      platform::ProcessLauncher& launcher, platform::Clock& clock,
                      platform::Dialogs& dialogs, QObject* parent = nullptr);
    ~PictureConversion() override;

    // The converter's arguments for a quality setting: "-Q" and a number 0-100 (any other
    // setting gives 75), then "temp.bmp".
    static QStringList converterArguments(const QString& pasteQuality);

    // False, with nothing running, when "temp.bmp" cannot be written or the converter is
    // not installed ("Please re-install Folimar"). Otherwise `finished` follows.
    bool start(const QImage& picture, const QString& pasteQuality);
    bool isRunning() const { return run_ != nullptr; }
    // Stops a running conversion; `finished` does not follow.
    void cancel();

Q_SIGNALS:
    // The wait is over; `converted` tells whether the converter ended successfully, and
    // `failure` otherwise why not.
    void finished(bool converted, const QString& failure);

private:
    void end(bool converted, const QString& failure = {});
    void removeUnfinishedOutput();
    void dropRun();

    QString programFolder_;
    const platform::InstalledFiles& installed_;
    platform::ProcessLauncher& launcher_;
    platform::Clock& clock_;
    platform::Dialogs& dialogs_;
    std::unique_ptr<platform::ProcessRun> run_;
    quint64 serial_ = 0;
};

} // namespace folimar::bookwindow
