// CurDir: the process's current folder in Windows form ("Z:\tmp\x"), or the
// current folder of a named drive. Only the drive holding the process's
// current folder has a folder of its own; every other drive's current
// folder is its root, as the path mapping resolves "X:name".
//
// Thread safety: safe from any thread; the current folder is process-wide,
// so the answer reflects whichever chdir happened last.
#pragma once

#include <optional>
#include <string>

#include "fs/file_system.h"

namespace zidevuv10::runtime {

struct CurDirResult {
  int error = 0;     // host runtime error number; 68 for a drive without a mapping,
                     // 76 when the current folder no longer exists (then a
                     // named drive other than its own still gives its root)
  std::string path;  // Windows form; empty on error
};

// The current folder (no drive), or that of drive `drive` (either case), as
// `fs` names the process's current folder.
CurDirResult currentFolder(fs::FileSystem& fs, std::optional<char> drive = std::nullopt);

}  // namespace zidevuv10::runtime
