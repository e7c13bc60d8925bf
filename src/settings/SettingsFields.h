#pragma once

#include "settings/Settings.h"

#include <QByteArray>
#include <QString>
#include <span>
#include <variant>

namespace folimar::settings {

// One positional field of a settings line: the member of `Settings` it holds.
using SettingsField = std::variant<QString Settings::*, qint16 Settings::*, qint32 Settings::*>;

// The line of `fields`, taken from `settings`, in the file's form.
QByteArray WriteSettingsFields(std::span<const SettingsField> fields, const Settings& settings);

// Reads `fields` in order from `line` until one cannot be read: it and the fields after it
// keep their values. Returns how many fields were read.
int ReadSettingsFields(const QByteArray& line, std::span<const SettingsField> fields,
                       Settings& settings);

// The start of the settings file at `path`, or nothing when it cannot be read.
QByteArray ReadSettingsFile(const QString& path);

// Replaces the file at `path` by `line` as a whole: a failed write leaves the old file.
bool WriteSettingsFile(const QString& path, const QByteArray& line);

} // namespace folimar::settings
