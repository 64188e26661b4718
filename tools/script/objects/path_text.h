// The FileSystemObject's path functions that work on the text alone, as
// Windows splits paths: `\` and `/` both separate, "X:" is a drive and
// "\\server\share" a network drive. Nothing is looked up on disk.
// Pure functions; safe from any thread.
#pragma once

#include <string>
#include <string_view>

namespace zidevuv10::script::path_text {

// "C:\a" and "b.txt" -> "C:\a\b.txt": one separator between, added only
// where neither side has one and the path is not a bare drive ("C:").
std::u16string buildPath(std::u16string_view path, std::u16string_view name);
// "C:", "\\server\share", or "" for a path without a drive.
std::u16string driveName(std::u16string_view path);
// The last component, trailing separators ignored ("C:\a\" -> "a"); "" for a drive or root.
std::u16string fileName(std::u16string_view path);
// The last component without its extension ("C:\a\b.tar.gz" -> "b.tar").
std::u16string baseName(std::u16string_view path);
// The last component's extension without the dot ("gz"); "" for none.
std::u16string extensionName(std::u16string_view path);
// Everything before the last component ("C:\a\b" -> "C:\a", "C:\a" -> "C:\"); "" for none.
std::u16string parentFolderName(std::u16string_view path);

}  // namespace zidevuv10::script::path_text
