#pragma once

#include <QString>

namespace folimar::platform {

// Where Folimar is installed is kept as the default value of its App Paths key.
inline constexpr auto LocalMachineRoot = "HKEY_LOCAL_MACHINE";
inline constexpr auto AppPathsKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Folimar.exe";

// The per-user registry store: a text file in the .reg export format,
// $XDG_CONFIG_HOME/folimar/registry.reg.
QString RegistryStorePath();

// The plain string value `valueName` (empty for the key's default value "@") of the key
// `root`\`keyPath` in the store at `storePath`. Keys and value names compare without regard
// to case. Empty text when the store is missing or not a registry file, when the key or
// value is missing or malformed, when the value has another type (an expandable string
// included), or when it takes more than 255 bytes.
QString ReadRegistryString(const QString& storePath, const QString& root, const QString& keyPath,
                           const QString& valueName);

} // namespace folimar::platform
