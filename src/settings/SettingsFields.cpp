#include "settings/SettingsFields.h"

#include "settings/SequentialLineReader.h"
#include "settings/SequentialLineWriter.h"

#include <QFile>
#include <QSaveFile>

namespace folimar::settings {

namespace {

// The settings line is short; a larger file is damaged and is read only this far.
constexpr qint64 MaxSettingsBytes = 1024 * 1024;

template <class... Ts> struct Overloaded : Ts... { using Ts::operator()...; };
// Spelled out for compilers without deduction for aggregates (clang 14).
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

} // namespace

QByteArray WriteSettingsFields(std::span<const SettingsField> fields, const Settings& settings) {
    SequentialLineWriter writer;
    for (const SettingsField& field : fields) {
        std::visit(Overloaded{
                       [&](QString Settings::*text) { writer.writeText(settings.*text); },
                       [&](auto Settings::*number) { writer.writeNumber(settings.*number); },
                   },
                   field);
    }
    return writer.line();
}

int ReadSettingsFields(const QByteArray& line, std::span<const SettingsField> fields,
                       Settings& settings) {
    SequentialLineReader reader(line);
    int read = 0;
    for (const SettingsField& field : fields) {
        const bool ok = std::visit(
            Overloaded{
                [&](QString Settings::*text) { return reader.readText(settings.*text); },
                [&](auto Settings::*number) { return reader.readNumber(settings.*number); },
            },
            field);
        if (!ok)
            break;
        ++read;
    }
    return read;
}

QByteArray ReadSettingsFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(MaxSettingsBytes);
}

bool WriteSettingsFile(const QString& path, const QByteArray& line) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(line) == line.size() && file.commit();
}

} // namespace folimar::settings
