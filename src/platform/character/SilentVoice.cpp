#include "platform/character/SilentVoice.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace folimar::character {

SilentVoice::SilentVoice(double rate, double wordsPerSecond, QObject* parent)
    : Voice(parent),
      wordsPerSecond_(std::max(0.1, wordsPerSecond) * std::exp2(std::clamp(rate, -1.0, 1.0))) {
    pace_.setSingleShot(true);
    connect(&pace_, &QTimer::timeout, this, &SilentVoice::finished);
}

void SilentVoice::speak(const QString& text) {
    const double seconds = std::max(1, wordCount(text)) / wordsPerSecond_;
    pace_.start(static_cast<int>(std::min(seconds * 1000.0, 1e9)));
    Q_EMIT started();
}

void SilentVoice::stop() {
    pace_.stop();
}

int SilentVoice::msPerWord() const {
    return std::max(1, static_cast<int>(std::lround(1000.0 / wordsPerSecond_)));
}

int SilentVoice::wordCount(const QString& text) {
    static const QRegularExpression separators(QStringLiteral("\\s+"));
    return static_cast<int>(text.split(separators, Qt::SkipEmptyParts).size());
}

} // namespace folimar::character
