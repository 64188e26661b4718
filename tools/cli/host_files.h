// Files named on the command line as host paths, handed to the profile
// store. The store reads a name without a folder as one in the Windows
// directory, "C:x" as a drive and "\" as a separator; the tool's FILE is a
// host path, so it is made absolute against the current folder first and a
// name the store would split at a backslash is refused.
// Safe from any thread that does not change the current folder meanwhile.
#pragma once

#include <string>

namespace zidevuv10::cli {

// The absolute form of a host path, which the store reads as that very
// file. Failure when the path cannot name a file for the store (empty,
// ending in "/", holding a backslash) or the current folder cannot be named.
std::string storePath(const std::string& hostPath);

}  // namespace zidevuv10::cli
