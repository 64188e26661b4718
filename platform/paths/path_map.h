// Maps the Windows form of a path (drive letters, backslashes) onto the host
// file system, with Windows' case-insensitive name matching:
//   X:\a\b     absolute on drive X        \a\b   root of the current drive
//   X:a        relative to drive X        /a/b   native absolute path
//   a\b, a/b   relative to the current folder
// Each component is looked up exactly first and, failing that, by a
// case-insensitive scan of its folder; components that do not exist keep the
// case given. "." and ".." are resolved by name, as Windows does. With a
// FolderNames, folders' listings are kept between calls (folder_names.h).
//
// Safe from any thread (reads the environment and the current folder).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "fs/file_system.h"
#include "paths/folder_names.h"

namespace zidevuv10::paths {

struct HostPath {
  std::string path;            // host path, absolute or relative to the current folder
  std::string driveCFolder;    // host folder of drive C when the path lies on it
  bool inWindowsDirectory = false;  // the path names an entry of C:\WINDOWS
};

// Resolves a Windows or native path; nullopt when it cannot name a file
// (empty, holding a NUL, or on a drive without a mapping). Without matchCase the
// components are taken as given, with no file-system access: the quick
// first guess, right whenever the names exist with that case. With
// folderToo, a path of no components ("X:\", ".", "/") names that folder.
// With `known`, folders' names are matched through that kept index.
std::optional<HostPath> resolvePath(fs::FileSystem& fs, std::string_view path,
                                    bool matchCase = true, bool folderToo = false,
                                    FolderNames* known = nullptr);

// Whether a profile file argument is a bare name: no folder part (no
// separator) and no drive.
bool isBareName(std::string_view file);

// A profile file argument: a bare name lives in the Windows directory.
std::optional<HostPath> resolveProfileFile(fs::FileSystem& fs, std::string_view file,
                                           bool matchCase = true,
                                           FolderNames* known = nullptr);

// Creates drive C's folder and the Windows directory when the path needs
// them, as every Windows installation has them; 0 or -errno.
int createSystemFolders(fs::FileSystem& fs, const HostPath& path);

}  // namespace zidevuv10::paths
