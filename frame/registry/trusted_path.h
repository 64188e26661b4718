// Whether a file may decide which code a process loads: the file and every
// folder above it must belong to the caller or to root, and none may be
// writable by anyone but its owner (a folder with the sticky bit, such as
// /tmp, counts as safe: only an entry's owner may replace that entry).
// Links are followed; for a file that does not exist yet the folders that
// would hold it are checked.
#pragma once

#include <string>

namespace zidevuv10::frame {

// Why the file cannot be trusted ("/x is writable by others"), or empty.
std::string untrustedReason(const std::string& path);

// Prints "zidevuv10: ignoring <what> <path>: <reason>" on standard error,
// once per process for each distinct message.
void warnOnce(const std::string& what, const std::string& path, const std::string& reason);

}  // namespace zidevuv10::frame
