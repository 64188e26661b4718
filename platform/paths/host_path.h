// Splitting a host path at its last '/': the folder holding a name and the
// name itself. Pure text, no file-system access; safe from any thread.
#pragma once

#include <string>
#include <string_view>

namespace zidevuv10::paths {

// The folder part of a host path: "." for a bare name, "/" for a name
// directly under the root, otherwise everything before the last '/'.
std::string folderOf(std::string_view path);

// The last part of a host path, after its last '/' (the whole path when it
// has none).
std::string nameOf(std::string_view path);

}  // namespace zidevuv10::paths
