#pragma once

#include <QString>
#include <chrono>

namespace folimar::platform {

// How long a later start waits for the running instance to take its book.
inline constexpr std::chrono::milliseconds OpenRequestTimeLimit{20000};

// Hands `path` (made absolute against the current folder) to the instance listening on
// `socketPath` and waits at most `timeLimit` for its acknowledgement; the connection ends
// either way. False at once when nothing listens. This blocks: it is meant for start-up,
// before any window exists.
bool SendOpenRequest(const QString& path, const QString& socketPath,
                     std::chrono::milliseconds timeLimit = OpenRequestTimeLimit);

// Whether an instance accepts connections on `socketPath`. Blocks briefly.
bool EarlierInstanceRunning(const QString& socketPath);

} // namespace folimar::platform
