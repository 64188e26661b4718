#include "paths/drives.h"

#include <cstdlib>

#include "text/ascii_case.h"

namespace zidevuv10::paths {

namespace {

constexpr std::string_view kDriveVariablePrefix = "ZIDEVUV10_DRIVE_";

// Drive letters are A-Z in either case, whatever the process's locale
// takes for a letter.
bool isDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::string withoutTrailingSlash(std::string s) {
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

std::optional<std::string> defaultDriveC() {
  if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && *data == '/') {
    return withoutTrailingSlash(std::string(data) + "/zidevuv10/drive_c");
  }
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') return std::nullopt;
  return withoutTrailingSlash(std::string(home) + "/.local/share/zidevuv10/drive_c");
}

}  // namespace

std::optional<std::string> driveFolder(char letter) {
  if (!isDriveLetter(letter)) return std::nullopt;
  const char upper = static_cast<char>(text::asciiUpper(static_cast<char16_t>(letter)));
  std::string name(kDriveVariablePrefix);
  name.push_back(upper);
  if (const char* value = std::getenv(name.c_str()); value != nullptr && *value != '\0') {
    return withoutTrailingSlash(value);
  }
  if (upper == 'Z') return std::string("/");
  if (upper == 'C') return defaultDriveC();
  return std::nullopt;
}

bool startsWithDrive(std::string_view p) {
  return p.size() >= 2 && isDriveLetter(p[0]) && p[1] == ':';
}

std::vector<std::pair<char, std::string>> mappedDrives() {
  std::vector<std::pair<char, std::string>> drives;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    if (auto folder = driveFolder(letter)) drives.emplace_back(letter, std::move(*folder));
  }
  return drives;
}

std::string toWindowsForm(std::string_view hostPath) {
  std::size_t bestLength = 0;
  char bestLetter = 0;
  for (const auto& [letter, folder] : mappedDrives()) {
    const bool isRoot = folder == "/";
    const bool prefix =
        isRoot ? !hostPath.empty() && hostPath.front() == '/'
               : hostPath.substr(0, folder.size()) == folder &&
                     (hostPath.size() == folder.size() || hostPath[folder.size()] == '/');
    const std::size_t length = isRoot ? 1 : folder.size();
    if (prefix && (bestLetter == 0 || length > bestLength)) {
      bestLength = length;
      bestLetter = letter;
    }
  }
  std::string out;
  if (bestLetter == 0) {
    out.assign(hostPath);
  } else {
    out = std::string(1, bestLetter) + ":\\";
    std::string_view rest = hostPath.substr(bestLength);
    while (!rest.empty() && rest.front() == '/') rest.remove_prefix(1);
    out.append(rest);
  }
  for (char& c : out) {
    if (c == '/') c = '\\';
  }
  while (out.size() > 3 && out.back() == '\\') out.pop_back();
  return out;
}

}  // namespace zidevuv10::paths
