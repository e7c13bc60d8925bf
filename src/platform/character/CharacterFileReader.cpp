#include "platform/character/CharacterFileReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSvgRenderer>

namespace folimar::character {

namespace {

const QString FormatName = QStringLiteral("folimar-character");
constexpr int FormatVersion = 1;
const QStringList RequiredAnimations = {"Idle", "Speaking", "Show", "Hide"};

// Reads at most `limit` bytes of a regular file; anything else (a folder, a device, a pipe
// that would block) is refused.
std::optional<QByteArray> readLimited(const QFileInfo& info, qint64 limit, QString* why) {
    if (!info.exists()) {
        *why = QStringLiteral("it does not exist");
        return std::nullopt;
    }
    if (!info.isFile()) {
        *why = QStringLiteral("it is not a regular file");
        return std::nullopt;
    }
    if (info.size() > limit) {
        *why = QStringLiteral("it is larger than %1 bytes").arg(limit);
        return std::nullopt;
    }
    QFile file(info.absoluteFilePath());
    if (!file.open(QIODevice::ReadOnly)) {
        *why = file.errorString();
        return std::nullopt;
    }
    QByteArray bytes = file.read(limit + 1);
    if (bytes.size() > limit) {
        *why = QStringLiteral("it is larger than %1 bytes").arg(limit);
        return std::nullopt;
    }
    return bytes;
}

// A picture carried inside an SVG picture (a data: address) is drawn by Qt's image readers,
// which pick the reader by the bytes: an SVG carried that way would be read with no checks
// at all, and could name any file. Only PNG and JPEG pictures may be carried.
bool carriesOnlyPlainPictures(const QString& svg, QString* why) {
    static const QRegularExpression carried(
        QStringLiteral(R"(href\s*=\s*(["'])\s*data:([^"']*)\1)"),
        QRegularExpression::CaseInsensitiveOption);
    for (auto it = carried.globalMatch(svg); it.hasNext();) {
        const QString address = it.next().captured(2);
        const qsizetype comma = address.indexOf(QLatin1Char(','));
        if (comma < 0 || address.contains(QLatin1Char('&'))) {
            *why = QStringLiteral("carries a picture it does not spell out plainly");
            return false;
        }
        const QByteArray payload = address.mid(comma + 1).toLatin1();
        const QByteArray bytes =
            address.left(comma).endsWith(QLatin1String(";base64"), Qt::CaseInsensitive)
                ? QByteArray::fromBase64(payload)
                : QByteArray::fromPercentEncoding(payload);
        if (!bytes.startsWith("\x89PNG\r\n\x1a\n") && !bytes.startsWith("\xff\xd8\xff")) {
            *why = QStringLiteral("carries a picture that is not PNG or JPEG");
            return false;
        }
    }
    return true;
}

class Parser {
public:
    Parser(const QString& path, QString* error)
        : folder_(QFileInfo(path).absoluteDir()), error_(error) {}

    std::optional<CharacterArt> parse(const QByteArray& bytes);

private:
    bool fail(const QString& message) {
        *error_ = message;
        return false;
    }
    bool readHeader(const QJsonObject& root);
    bool readFrames(const QJsonValue& value);
    bool readAnimations(const QJsonValue& value);
    std::shared_ptr<QSvgRenderer> layer(const QString& frame, const QJsonValue& value);
    std::shared_ptr<QSvgRenderer> picture(const QString& label, const QByteArray& svg);
    std::optional<QByteArray> layerFile(const QString& frame, const QString& relative);

    QDir folder_;
    QString* error_;
    CharacterArt art_;
    QHash<QString, std::shared_ptr<QSvgRenderer>> filesRead_;
    qint64 pictureBytes_ = 0;
};

std::optional<CharacterArt> Parser::parse(const QByteArray& bytes) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        fail(QStringLiteral("it is not a character file (%1 at offset %2)")
                 .arg(parseError.errorString())
                 .arg(parseError.offset));
        return std::nullopt;
    }
    if (!document.isObject()) {
        fail(QStringLiteral("it is not a character file"));
        return std::nullopt;
    }
    const QJsonObject root = document.object();
    if (!readHeader(root) || !readFrames(root.value("frames")) ||
        !readAnimations(root.value("animations")))
        return std::nullopt;
    return std::move(art_);
}

bool Parser::readHeader(const QJsonObject& root) {
    if (root.value("format").toString() != FormatName)
        return fail(
            QStringLiteral("it is not a character file (no \"format\": \"%1\")").arg(FormatName));
    if (root.value("version").toInt(-1) != FormatVersion)
        return fail(QStringLiteral("its version is not %1").arg(FormatVersion));
    const QJsonValue name = root.value("name");
    if (!name.isString() || name.toString().trimmed().isEmpty() ||
        name.toString().size() > CharacterFileReader::MaxNameLength)
        return fail(QStringLiteral("its \"name\" must be text of 1 to %1 characters")
                        .arg(CharacterFileReader::MaxNameLength));
    art_.name = name.toString().trimmed();
    const QJsonValue width = root.value("width");
    const QJsonValue height = root.value("height");
    const auto sideOk = [](const QJsonValue& side) {
        return side.isDouble() && side.toDouble() == side.toInt() &&
               side.toInt() >= CharacterFileReader::MinSide &&
               side.toInt() <= CharacterFileReader::MaxSide;
    };
    if (!sideOk(width) || !sideOk(height))
        return fail(QStringLiteral("its \"width\" and \"height\" must be whole numbers from "
                                   "%1 to %2")
                        .arg(CharacterFileReader::MinSide)
                        .arg(CharacterFileReader::MaxSide));
    art_.size = QSize(width.toInt(), height.toInt());
    return true;
}

bool Parser::readFrames(const QJsonValue& value) {
    if (!value.isObject())
        return fail(QStringLiteral("its \"frames\" must be an object of named frames"));
    const QJsonObject frames = value.toObject();
    if (frames.isEmpty() || frames.size() > CharacterFileReader::MaxFrames)
        return fail(
            QStringLiteral("it must have 1 to %1 frames").arg(CharacterFileReader::MaxFrames));
    for (auto it = frames.begin(); it != frames.end(); ++it) {
        const QJsonArray layers = it.value().toArray();
        if (!it.value().isArray() || layers.isEmpty() ||
            layers.size() > CharacterFileReader::MaxLayersPerFrame)
            return fail(QStringLiteral("frame \"%1\" must be a list of 1 to %2 pictures")
                            .arg(it.key())
                            .arg(CharacterFileReader::MaxLayersPerFrame));
        CharacterArt::Frame frame;
        for (const QJsonValue& entry : layers) {
            auto renderer = layer(it.key(), entry);
            if (!renderer)
                return false;
            frame << renderer;
        }
        art_.frames.insert(it.key(), frame);
    }
    return true;
}

// A layer is an SVG file named relative to the character file, or {"svg": "<svg ...>"}.
std::shared_ptr<QSvgRenderer> Parser::layer(const QString& frame, const QJsonValue& value) {
    if (value.isString()) {
        const QString relative = value.toString();
        if (auto known = filesRead_.value(relative))
            return known;
        const auto bytes = layerFile(frame, relative);
        if (!bytes)
            return nullptr;
        auto renderer = picture(QStringLiteral("picture \"%1\"").arg(relative), *bytes);
        if (renderer)
            filesRead_.insert(relative, renderer);
        return renderer;
    }
    const QJsonValue inlineSvg = value.toObject().value("svg");
    if (!inlineSvg.isString()) {
        fail(QStringLiteral("frame \"%1\" has a picture that is neither a file name nor "
                            "{\"svg\": text}")
                 .arg(frame));
        return nullptr;
    }
    return picture(QStringLiteral("a picture of frame \"%1\"").arg(frame),
                   inlineSvg.toString().toUtf8());
}

std::optional<QByteArray> Parser::layerFile(const QString& frame, const QString& relative) {
    const QString folder = folder_.canonicalPath();
    const QFileInfo info(folder_.filePath(relative));
    const QString target = info.canonicalFilePath();
    if (relative.isEmpty() || QDir::isAbsolutePath(relative) || folder.isEmpty() ||
        (!target.isEmpty() && !target.startsWith(folder + '/'))) {
        fail(QStringLiteral("frame \"%1\" names a picture outside the character's folder: %2")
                 .arg(frame, relative));
        return std::nullopt;
    }
    QString why;
    auto bytes = readLimited(info, CharacterFileReader::MaxPictureBytes, &why);
    if (!bytes) {
        fail(QStringLiteral("picture \"%1\" of frame \"%2\" cannot be read: %3")
                 .arg(relative, frame, why));
        return std::nullopt;
    }
    return bytes;
}

std::shared_ptr<QSvgRenderer> Parser::picture(const QString& label, const QByteArray& svg) {
    pictureBytes_ += svg.size();
    if (svg.size() > CharacterFileReader::MaxPictureBytes ||
        pictureBytes_ > CharacterFileReader::MaxTotalPictureBytes) {
        fail(QStringLiteral("%1 makes the pictures larger than allowed").arg(label));
        return nullptr;
    }
    // Pictures draw only what they hold: links to other files or addresses are refused.
    static const QRegularExpression outsideLink(QStringLiteral(R"(href\s*=\s*["']\s*(?!#|data:))"),
                                                QRegularExpression::CaseInsensitiveOption);
    const QString text = QString::fromUtf8(svg);
    if (outsideLink.match(text).hasMatch()) {
        fail(QStringLiteral("%1 refers to other files").arg(label));
        return nullptr;
    }
    QString why;
    if (!carriesOnlyPlainPictures(text, &why)) {
        fail(QStringLiteral("%1 %2").arg(label, why));
        return nullptr;
    }
    auto renderer = std::make_shared<QSvgRenderer>(svg);
    if (!renderer->isValid()) {
        fail(QStringLiteral("%1 is not a valid SVG picture").arg(label));
        return nullptr;
    }
    return renderer;
}

bool Parser::readAnimations(const QJsonValue& value) {
    if (!value.isObject())
        return fail(QStringLiteral("its \"animations\" must be an object of named animations"));
    const QJsonObject animations = value.toObject();
    if (animations.size() > CharacterFileReader::MaxAnimations)
        return fail(QStringLiteral("it has more than %1 animations")
                        .arg(CharacterFileReader::MaxAnimations));
    for (const QString& required : RequiredAnimations) {
        if (!animations.contains(required))
            return fail(QStringLiteral("it has no \"%1\" animation").arg(required));
    }
    for (auto it = animations.begin(); it != animations.end(); ++it) {
        const QJsonObject entry = it.value().toObject();
        const QJsonArray frames = entry.value("frames").toArray();
        if (!it.value().isObject() || !entry.value("frames").isArray() || frames.isEmpty() ||
            frames.size() > CharacterFileReader::MaxFramesPerAnimation)
            return fail(QStringLiteral("animation \"%1\" must list 1 to %2 frames")
                            .arg(it.key())
                            .arg(CharacterFileReader::MaxFramesPerAnimation));
        CharacterArt::Animation animation;
        for (const QJsonValue& frame : frames) {
            if (!frame.isString() || !art_.frames.contains(frame.toString()))
                return fail(QStringLiteral("animation \"%1\" uses a missing frame \"%2\"")
                                .arg(it.key(), frame.toVariant().toString()));
            animation.frames << frame.toString();
        }
        const QJsonValue interval = entry.value("interval");
        if (!interval.isUndefined()) {
            if (!interval.isDouble() || interval.toInt() < CharacterFileReader::MinIntervalMs ||
                interval.toInt() > CharacterFileReader::MaxIntervalMs)
                return fail(QStringLiteral("animation \"%1\" must have an \"interval\" of %2 to "
                                           "%3 ms")
                                .arg(it.key())
                                .arg(CharacterFileReader::MinIntervalMs)
                                .arg(CharacterFileReader::MaxIntervalMs));
            animation.intervalMs = interval.toInt();
        }
        const QJsonValue loop = entry.value("loop");
        if (!loop.isUndefined() && !loop.isBool())
            return fail(QStringLiteral("animation \"%1\" has a \"loop\" that is not true or false")
                            .arg(it.key()));
        animation.loop = loop.toBool();
        art_.animations.insert(it.key(), animation);
    }
    return true;
}

} // namespace

std::optional<CharacterArt> CharacterFileReader::read(const QString& path, QString* error) {
    QString why;
    const auto bytes = readLimited(QFileInfo(path), MaxFileBytes, &why);
    std::optional<CharacterArt> art;
    if (bytes)
        art = Parser(path, &why).parse(*bytes);
    if (!art && error)
        *error = QStringLiteral("The character file %1 cannot be used: %2.").arg(path, why);
    return art;
}

} // namespace folimar::character
