#include "runtime/current_folder.h"

#include <cctype>
#include <cerrno>

#include "paths/drives.h"
#include "zidevuv10/error.h"

namespace zidevuv10::runtime {

namespace {

// The process's current folder; nullopt when it cannot be named (it was
// removed, or a parent is not searchable).
std::optional<std::string> processFolder(fs::FileSystem& fs) {
  std::string folder;
  if (fs.currentFolder(folder) != 0) return std::nullopt;
  return folder;
}

}  // namespace

CurDirResult currentFolder(fs::FileSystem& fs, std::optional<char> drive) {
  CurDirResult out;
  char letter = 0;
  if (drive) {
    if (!std::isalpha(static_cast<unsigned char>(*drive)) || !paths::driveFolder(*drive)) {
      out.error = err::kDeviceUnavailable;
      return out;
    }
    letter = static_cast<char>(std::toupper(static_cast<unsigned char>(*drive)));
  }
  const auto here = processFolder(fs);
  if (!here && letter == 0) {
    out.error = err::kPathNotFound;
    return out;
  }
  std::string windowsForm = here ? paths::toWindowsForm(*here) : std::string();
  const bool onThatDrive =
      windowsForm.size() >= 2 && windowsForm[1] == ':' && windowsForm[0] == letter;
  if (letter == 0 || onThatDrive) {
    out.path = std::move(windowsForm);
  } else {
    out.path = std::string(1, letter) + ":\\";
  }
  return out;
}

}  // namespace zidevuv10::runtime
