// Dir's first match: the first entry of a folder whose name fits a pattern
// with Windows wildcards, on the host file system seen through the drive
// mapping. The pattern's folder part is a Windows form or a native path,
// resolved without regard to case; its last component may hold `*` and `?`.
// Names are compared without regard to case; `name.*` also matches `name`.
// "First" is the first in case-insensitive name order (ties: byte order), so
// the answer never depends on the order in which the folder lists entries.
//
// Hidden entries are those whose name starts with a dot; there are no system
// entries. "." and ".." are never returned.
//
// Thread safety: safe from any thread as long as the FileSystem is; reads
// the environment (drive mapping) and the current folder.
#pragma once

#include <string>
#include <string_view>

#include "fs/file_system.h"

namespace zidevuv10::runtime {

// Attribute bits understood by findFirst; other bits are ignored.
inline constexpr int kDirHidden = 2;
inline constexpr int kDirFolder = 16;

struct DirResult {
  int error = 0;     // host runtime error number; 68 for a drive without a mapping
  std::string name;  // the entry's name as the file system spells it; empty: no match
};

// The first entry matching `pattern`. Without kDirFolder in `attributes`
// folders are skipped, without kDirHidden hidden entries are. An empty
// pattern, one ending with a separator, and a folder that does not exist
// all give an empty name without an error.
DirResult findFirst(fs::FileSystem& fs, std::string_view pattern, int attributes);

// Whether `name` fits the wildcard pattern, without regard to case: `*` is
// any run of characters, `?` one character, and a pattern ending in ".*"
// also matches the name without that ending (so `*.*` matches everything).
bool matchesWildcards(std::string_view pattern, std::string_view name);

}  // namespace zidevuv10::runtime
