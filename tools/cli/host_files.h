// Files named on the command line as host paths, handed to the profile
// store. The store reads a name without a folder as one in the Windows
// directory, "C:x" as a drive and "\" as a separator; the tool's FILE is a
// host path, so it is made absolute against the current folder first and a
// name the store would split at a backslash is refused.
#pragma once

#include <string>

namespace zidevuv10::cli {

// The absolute form of a host path, which the store reads as that very
// file. Failure when the path cannot name a file for the store (empty,
// ending in "/", holding a backslash) or the current folder cannot be named.
std::string storePath(const std::string& hostPath);

// Failure unless the file exists and can be read: "FILE: no such file" when
// it is missing. `argument` is the name as the user gave it, for messages.
// The store matches names without regard to case, preferring the exact
// name; a file it finds only that way counts as existing too.
void requireReadableFile(const std::string& argument, const std::string& path);

// Why a write through the store to `path` failed, as well as the tool can
// tell: a folder in the file's place, a missing folder, a folder where no
// file can be made (found by making and removing one), or else `otherwise`.
// `change` says what was attempted.
std::string writeFailure(const std::string& argument, const std::string& path,
                         const std::string& change, const std::string& otherwise);

}  // namespace zidevuv10::cli
