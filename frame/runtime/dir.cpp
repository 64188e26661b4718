#include "runtime/dir.h"

#include <sys/stat.h>

#include <unicode/utf8.h>

#include <cctype>
#include <cstdint>
#include <vector>

#include "paths/drives.h"
#include "paths/host_path.h"
#include "paths/path_map.h"
#include "text/case_fold.h"
#include "zidevuv10/error.h"

namespace zidevuv10::runtime {

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// UTF-8 to code points, so that `?` stands for one character, not one byte.
// An ill-formed sequence becomes one code point of the surrogate range, which
// no well-formed sequence can produce.
std::u32string codePoints(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  const auto* p = reinterpret_cast<const uint8_t*>(s.data());
  const auto n = static_cast<int32_t>(s.size());
  int32_t i = 0;
  while (i < n) {
    const uint8_t first = p[i];
    UChar32 c = 0;
    U8_NEXT(p, i, n, c);
    out.push_back(c < 0 ? 0xDC00u + first : static_cast<char32_t>(c));
  }
  return out;
}

// `*` and `?` over code points, with the usual backtracking to the last star.
bool matchPoints(std::u32string_view p, std::u32string_view n) {
  std::size_t pi = 0;
  std::size_t ni = 0;
  std::size_t starP = std::u32string_view::npos;
  std::size_t starN = 0;
  while (ni < n.size()) {
    if (pi < p.size() && p[pi] == U'*') {
      starP = pi++;
      starN = ni;
    } else if (pi < p.size() && (p[pi] == U'?' || p[pi] == n[ni])) {
      ++pi;
      ++ni;
    } else if (starP != std::u32string_view::npos) {
      pi = starP + 1;
      ni = ++starN;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == U'*') ++pi;
  return pi == p.size();
}

bool matchFolded(const std::u32string& pattern, const std::u32string& name) {
  if (matchPoints(pattern, name)) return true;
  // "name.*" stands for "name" with any extension, none included.
  const std::size_t n = pattern.size();
  return n >= 2 && pattern[n - 2] == U'.' && pattern[n - 1] == U'*' &&
         matchPoints(std::u32string_view(pattern).substr(0, n - 2), name);
}

std::string join(const std::string& folder, const std::string& name) {
  return folder == "/" ? "/" + name : folder + "/" + name;
}

}  // namespace

bool matchesWildcards(std::string_view pattern, std::string_view name) {
  return matchFolded(codePoints(text::foldCase(pattern)), codePoints(text::foldCase(name)));
}

DirResult findFirst(fs::FileSystem& fs, std::string_view pattern, int attributes) {
  DirResult out;
  if (pattern.empty()) return out;
  if (pattern.find('\0') != std::string_view::npos) {
    out.error = err::kBadFileNameOrNumber;  // a NUL cannot be part of a name
    return out;
  }
  if (paths::startsWithDrive(pattern) && !paths::driveFolder(pattern[0])) {
    out.error = err::kDeviceUnavailable;
    return out;
  }

  // The last component is the name pattern; "X:name" has its name after the colon.
  std::size_t nameStart = 0;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (isSeparator(pattern[i])) nameStart = i + 1;
  }
  if (nameStart == 0 && paths::startsWithDrive(pattern)) nameStart = 2;
  const std::string_view namePattern = pattern.substr(nameStart);
  // A trailing separator names a folder, and "." and ".." are never returned.
  if (namePattern.empty() || namePattern == "." || namePattern == "..") return out;

  // Resolving the whole pattern maps its folder part, matched without regard
  // to case; the host folder is then everything before the last '/'.
  const auto resolved = paths::resolvePath(fs, pattern);
  if (!resolved) {
    out.error = err::kDeviceUnavailable;  // the only reason left: an unmapped current drive
    return out;
  }
  const std::string& hostPath = resolved->path;
  const std::string folder = paths::folderOf(hostPath);

  std::vector<std::string> names;
  if (fs.listFolder(folder, names) != 0) return out;  // missing or unreadable: no match

  const std::u32string foldedPattern = codePoints(text::foldCase(namePattern));
  const bool wantHidden = (attributes & kDirHidden) != 0;
  const bool wantFolders = (attributes & kDirFolder) != 0;
  std::string bestFolded;
  bool found = false;
  std::string folded;
  for (const std::string& name : names) {
    if (name.empty() || name == "." || name == "..") continue;
    if (name.front() == '.' && !wantHidden) continue;
    text::foldCaseInto(name, folded);
    if (found && (folded > bestFolded || (folded == bestFolded && name >= out.name))) continue;
    if (!matchFolded(foldedPattern, codePoints(folded))) continue;
    // Folders are told apart through symbolic links; an entry that cannot be
    // stat'ed (a dangling link) still shows, as a file; one that is gone does not.
    struct stat st {};
    const std::string entry = join(folder, name);
    bool isFolder = false;
    if (fs.stat(entry, st) == 0) {
      isFolder = S_ISDIR(st.st_mode);
    } else if (fs.lstat(entry, st) != 0) {
      continue;
    }
    if (isFolder && !wantFolders) continue;
    bestFolded = folded;
    out.name = name;
    found = true;
  }
  return out;
}

}  // namespace zidevuv10::runtime
