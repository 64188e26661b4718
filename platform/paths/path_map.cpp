#include "paths/path_map.h"

#include <cerrno>
#include <vector>

#include "paths/drives.h"
#include "text/ascii_case.h"
#include "text/case_fold.h"

namespace zidevuv10::paths {

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// Splits into components, resolving "." and ".." by name. Leading ".." of a
// relative path are kept; on an absolute path they stop at the root.
std::vector<std::string> components(std::string_view p, bool absolute) {
  std::vector<std::string> out;
  std::size_t i = 0;
  while (i <= p.size()) {
    std::size_t j = i;
    while (j < p.size() && !isSeparator(p[j])) ++j;
    const std::string_view part = p.substr(i, j - i);
    if (part.empty() || part == ".") {
      // skip
    } else if (part == "..") {
      if (!out.empty() && out.back() != "..") {
        out.pop_back();
      } else if (!absolute) {
        out.emplace_back("..");
      }
    } else {
      out.emplace_back(part);
    }
    i = j + 1;
  }
  return out;
}

// The current folder, or nullopt when it cannot be named (removed, say).
std::optional<std::string> currentFolder(fs::FileSystem& fs) {
  std::string out;
  if (fs.currentFolder(out) != 0) return std::nullopt;
  return out;
}

// Drive letter of the current folder: the drive whose folder is its longest prefix.
char currentDrive(fs::FileSystem& fs) {
  const auto here = currentFolder(fs);
  const std::string windowsForm = here ? toWindowsForm(*here) : std::string();
  return startsWithDrive(windowsForm) ? windowsForm[0] : 'Z';
}

std::string join(const std::string& folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  if (folder.back() == '/') return folder + std::string(name);
  return folder + "/" + std::string(name);
}

// Appends components to root, matching each without regard to case.
std::string matchComponents(fs::FileSystem& fs, const std::string& root,
                            const std::vector<std::string>& parts, FolderNames* known) {
  std::string exact = root;
  for (const auto& part : parts) exact = join(exact, part);
  struct stat st {};
  if (parts.empty() || fs.lstat(exact, st) == 0) return exact;

  std::string current = root;
  std::vector<std::string> names;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    std::string candidate = join(current, part);
    if (part == ".." || fs.lstat(candidate, st) == 0) {
      current = std::move(candidate);
      continue;
    }
    // Case-insensitive scan; the smallest matching name wins, so the answer
    // does not depend on the folder's order.
    const std::string folder = current.empty() ? "." : current;
    std::string match;
    if (known) {
      match = known->match(fs, folder, part);
    } else if (fs.listFolder(folder, names) == 0) {
      const std::string folded = text::foldCase(part);
      for (const auto& name : names) {
        if (text::foldCase(name) == folded && (match.empty() || name < match)) match = name;
      }
    }
    if (match.empty()) {
      // Missing from here on: keep the case given.
      for (std::size_t k = i; k < parts.size(); ++k) current = join(current, parts[k]);
      return current;
    }
    current = join(current, match);
  }
  return current;
}

}  // namespace

std::optional<HostPath> resolvePath(fs::FileSystem& fs, std::string_view p, bool matchCase, bool folderToo,
                                    FolderNames* known) {
  // A NUL would end the name early at the system call and reach another
  // file: such a path names no file at all.
  if (p.empty() || p.find('\0') != std::string_view::npos) return std::nullopt;
  HostPath out;
  std::string root;
  std::string_view rest = p;
  bool absolute = true;
  char drive = 0;
  if (startsWithDrive(p)) {
    drive = static_cast<char>(text::asciiUpper(static_cast<char16_t>(p[0])));
    rest = p.substr(2);
    const auto folder = driveFolder(drive);
    if (!folder) return std::nullopt;
    if (!rest.empty() && isSeparator(rest.front())) {
      root = *folder;
    } else if (drive == currentDrive(fs)) {
      absolute = false;  // relative to the current folder, which is on this drive
    } else {
      root = *folder;  // other drives' current folder is their root
    }
  } else if (p.front() == '/') {
    root = "/";
  } else if (p.front() == '\\') {
    drive = currentDrive(fs);
    const auto folder = driveFolder(drive);
    if (!folder) return std::nullopt;
    root = *folder;
  } else {
    absolute = false;
  }
  auto parts = components(rest, absolute);
  if (!absolute && !parts.empty() && parts.front() == "..") {
    // ".." climbs from the current folder by name and stops at the root of
    // its drive, as Windows resolves it.
    const auto cwd = currentFolder(fs);
    const std::string here = cwd ? toWindowsForm(*cwd) : std::string();
    if (startsWithDrive(here)) {
      drive = here[0];
      if (const auto folder = driveFolder(drive)) {
        root = *folder;
        parts = components(here.substr(2) + "\\" + std::string(rest), true);
        absolute = true;
      }
    }
  }
  if (parts.empty() && !folderToo) return std::nullopt;  // names a folder, not a file
  if (matchCase) {
    out.path = matchComponents(fs, root, parts, known);
  } else {
    out.path = root;
    for (const auto& part : parts) out.path = join(out.path, part);
  }
  if (drive == 'C' && absolute) {
    out.driveCFolder = root;
    out.inWindowsDirectory = parts.size() == 2 && text::equalsIgnoreCase(parts[0], "WINDOWS");
  }
  return out;
}

bool isBareName(std::string_view file) {
  if (file.empty() || startsWithDrive(file)) return false;
  for (char c : file) {
    if (isSeparator(c)) return false;
  }
  return true;
}

std::optional<HostPath> resolveProfileFile(fs::FileSystem& fs, std::string_view file,
                                           bool matchCase, FolderNames* known) {
  if (file.empty()) return std::nullopt;
  if (!isBareName(file)) return resolvePath(fs, file, matchCase, false, known);
  std::string inWindows(kWindowsDirectory);
  inWindows.push_back('\\');
  inWindows.append(file);
  return resolvePath(fs, inWindows, matchCase, false, known);
}

int createSystemFolders(fs::FileSystem& fs, const HostPath& path) {
  if (path.driveCFolder.empty()) return 0;
  // Drive C's folder, with its parents.
  const std::string& c = path.driveCFolder;
  for (std::size_t i = 1; i <= c.size(); ++i) {
    if (i == c.size() || c[i] == '/') {
      const int rc = fs.mkdir(c.substr(0, i), 0777);
      if (rc != 0 && rc != -EEXIST) return rc;
    }
  }
  if (path.inWindowsDirectory) {
    const std::string windows = matchComponents(fs, c, {"WINDOWS"}, nullptr);
    const int rc = fs.mkdir(windows, 0777);
    if (rc != 0 && rc != -EEXIST) return rc;
  }
  return 0;
}

}  // namespace zidevuv10::paths
