#pragma once

#include <QString>

namespace folimar::platform {

// The well-known name under which the running Folimar listens for books handed over by a
// later start: one socket per user, in a folder only that user can enter.
inline constexpr char InstanceLinkSocketName[] = "folimar-open_lnk";

// The user's runtime folder ($XDG_RUNTIME_DIR); without a usable one, "folimar-<uid>" in
// the temporary folder, created with mode 0700. Empty when neither is private to the user
// (for instance a fallback folder that belongs to someone else).
QString InstanceLinkFolder();

// The socket path in `folder`; empty when `folder` is empty.
QString InstanceLinkPath(const QString& folder);

// Whether `folder` is a real directory (not a link) of the current user that nobody else
// may enter or list.
bool IsPrivateFolder(const QString& folder);

} // namespace folimar::platform
