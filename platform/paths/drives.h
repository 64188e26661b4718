// Drive letters on a Linux host: which host folder each Windows drive is.
// Z: is "/", C: is ${XDG_DATA_HOME:-$HOME/.local/share}/zidevuv10/drive_c,
// and ZIDEVUV10_DRIVE_<letter> sets (or overrides) any drive. A drive
// without a mapping does not exist.
//
// The environment is read on every call, so a change of the variables takes
// effect at once. Safe from any thread as long as no thread changes the
// environment at the same moment (the usual getenv rule).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zidevuv10::paths {

// Host folder of a drive letter (either case), without a trailing slash
// except for "/" itself.
std::optional<std::string> driveFolder(char letter);

// Whether a path starts with a drive letter and a colon ("C:\x", "d:x").
bool startsWithDrive(std::string_view path);

// Every mapped drive, as (upper-case letter, host folder).
std::vector<std::pair<char, std::string>> mappedDrives();

// The Windows form of an absolute host path: the drive whose folder is the
// longest prefix, then backslashes ("/opt/app/lib" -> "Z:\opt\app\lib").
std::string toWindowsForm(std::string_view absoluteHostPath);

// The Windows directory, "C:\WINDOWS".
inline constexpr std::string_view kWindowsDirectory = "C:\\WINDOWS";

}  // namespace zidevuv10::paths
