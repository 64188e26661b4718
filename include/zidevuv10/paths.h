// Where a profile file lives, as the profile functions see it: the Windows
// form of the file a file argument names.
//
// Safe from any thread (reads the environment and the current folder).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "zidevuv10/export.h"

namespace zidevuv10 {

// The Windows form ("C:\WINDOWS\app.ini", "Z:\srv\app.ini") of the file a
// profile function would use for `file` (a Windows or host path, UTF-8; a
// name without any folder part lives in C:\WINDOWS), with the case of the
// names that exist; nullopt when it names no file (empty, holding a NUL, on
// a drive without a mapping, or relative to a current folder that is gone).
ZIDEVUV10_API std::optional<std::string> profileFileWindowsPath(std::string_view file);

// The absolute host path a Windows or host path names ("C:\dir\a.txt",
// "..\a.txt", "/srv/a.txt"), relative paths taken from the current folder,
// with the case of the names that exist; nullopt as above.
ZIDEVUV10_API std::optional<std::string> hostPathOf(std::string_view path);

// The Windows form of an absolute host path: the drive whose folder holds
// it, then backslashes ("/srv/a" -> "Z:\srv\a").
ZIDEVUV10_API std::string windowsFormOf(std::string_view absoluteHostPath);

// Every drive that has a folder: upper-case letter and host folder.
ZIDEVUV10_API std::vector<std::pair<char, std::string>> driveFolders();

}  // namespace zidevuv10
