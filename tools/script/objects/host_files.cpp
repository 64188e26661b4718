// Host file access for the script's file objects, with the runtime's errors.
#include "objects/host_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <memory>

#include "objects/object_errors.h"
#include "text/ascii_case.h"
#include "zidevuv10/error.h"
#include "zidevuv10/paths.h"

namespace zidevuv10::script::files {

namespace {

std::string parentOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Closes a descriptor when it goes out of scope.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};

}  // namespace

// What a symbolic link holds; `st` is its own status.
std::string linkTarget(const std::string& path, const struct stat& st) {
  std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
  const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
  if (n < 0) raiseFor(errno, path, Kind::File);
  link.resize(static_cast<std::size_t>(n));
  return link;
}

std::string hostPath(const Text& path) {
  const std::u16string& s = path.str();
  if (s.empty()) raiseObjectError(err::kInvalidCall);
  if (s.find(u'\0') != std::u16string::npos) raiseObjectError(err::kBadFileNameOrNumber);
  const auto host = hostPathOf(path.utf8());
  if (!host) raiseObjectError(err::kPathNotFound);
  return *host;
}

Text windowsPath(const std::string& hostPath) { return Text::fromUtf8(windowsFormOf(hostPath)); }

void raiseFor(int error, const std::string& hostPath, Kind kind) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      if (kind == Kind::Folder || !isFolder(parentOf(hostPath))) raiseObjectError(err::kPathNotFound);
      raiseObjectError(err::kFileNotFound);
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
    case EISDIR:
    case EBUSY: raiseObjectError(err::kPermissionDenied);
    case EEXIST:
    case ENOTEMPTY: raiseObjectError(err::kFileAlreadyExists);
    case ENOSPC:
    case EDQUOT: raiseObjectError(err::kDiskFull);
    case ENAMETOOLONG:
    case EILSEQ:
    case EINVAL:
    case ELOOP: raiseObjectError(err::kBadFileNameOrNumber);
    case EMFILE:
    case ENFILE: raiseObjectError(err::kTooManyFiles);
    case ENOMEM: raiseObjectError(err::kOutOfMemory);
    default: raiseObjectError(err::kDeviceIoError);
  }
}

bool lstatOf(const std::string& path, struct stat& st) { return ::lstat(path.c_str(), &st) == 0; }
bool statOf(const std::string& path, struct stat& st) { return ::stat(path.c_str(), &st) == 0; }

bool isFolder(const std::string& path) {
  struct stat st {};
  return statOf(path, st) && S_ISDIR(st.st_mode);
}

bool isFile(const std::string& path) {
  struct stat st {};
  return statOf(path, st) && !S_ISDIR(st.st_mode);
}

std::vector<std::string> listFolder(const std::string& folder) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  if (!dir) raiseFor(errno, folder, Kind::Folder);
  std::vector<std::string> names;
  errno = 0;
  while (const dirent* e = ::readdir(dir.get())) {
    const std::string name = e->d_name;
    if (name != "." && name != "..") names.push_back(name);
    errno = 0;
  }
  if (errno != 0) raiseFor(errno, folder, Kind::Folder);
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const auto [ia, ib] = std::mismatch(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
    if (ia == a.end() || ib == b.end()) return a.size() != b.size() ? a.size() < b.size() : a < b;
    return lowerAscii(*ia) < lowerAscii(*ib);
  });
  return names;
}

bool hasWildcards(std::string_view name) { return name.find_first_of("*?") != std::string_view::npos; }

bool matchesWildcards(std::string_view pattern, std::string_view name) {
  // Iterative matching with one remembered star: linear in practice.
  std::size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || lowerAscii(pattern[p]) == lowerAscii(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

int openForWriting(const std::string& path, int flags) {
  std::string target = path;
  for (int hops = 0;; ++hops) {
    struct stat st {};
    if (!lstatOf(target, st) || !S_ISLNK(st.st_mode)) break;
    if (hops == 40) raiseFor(ELOOP, path, Kind::File);
    struct stat folder {};
    const std::string parent = parentOf(target);
    if (!statOf(parent, folder)) raiseFor(errno, path, Kind::File);
    if ((folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH) && st.st_uid != ::geteuid() &&
        st.st_uid != folder.st_uid) {
      raiseObjectError(err::kPermissionDenied);
    }
    const std::string link = linkTarget(target, st);
    target = !link.empty() && link.front() == '/' ? link : parent + "/" + link;
  }
  // The last step does not follow a link either: one planted since the
  // check above is refused rather than followed.
  const int fd = ::open(target.c_str(), flags | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd < 0) raiseFor(errno == ELOOP ? EACCES : errno, target, Kind::File);
  return fd;
}

int openForReading(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) raiseFor(errno, path, Kind::File);
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    raiseObjectError(err::kPermissionDenied);
  }
  return fd;
}

void writeAll(int fd, std::string_view bytes, const std::string& path) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      raiseFor(errno, path, Kind::File);
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

void copyFile(const std::string& from, const std::string& to) {
  const Descriptor in{openForReading(from)};
  struct stat st {};
  if (::fstat(in.fd, &st) != 0) raiseFor(errno, from, Kind::File);
  const Descriptor out{openForWriting(to, O_WRONLY | O_CREAT | O_TRUNC)};
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(in.fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      raiseFor(errno, from, Kind::File);
    }
    writeAll(out.fd, std::string_view(buffer, static_cast<std::size_t>(n)), to);
  }
  if (::fchmod(out.fd, st.st_mode & 07777) != 0) raiseFor(errno, to, Kind::File);
}

void copyFolder(const std::string& from, const std::string& to, bool overwrite) {
  if (::mkdir(to.c_str(), 0777) != 0 && !(errno == EEXIST && isFolder(to))) raiseFor(errno, to, Kind::Folder);
  for (const std::string& name : listFolder(from)) {
    const std::string source = from + "/" + name;
    const std::string target = to + "/" + name;
    struct stat st {};
    if (lstatOf(source, st) && S_ISLNK(st.st_mode)) {
      // A link is copied as a link: following one into a folder above
      // would copy without end.
      const std::string link = linkTarget(source, st);
      struct stat existing {};
      if (lstatOf(target, existing)) {
        if (!overwrite || S_ISDIR(existing.st_mode)) raiseObjectError(err::kFileAlreadyExists);
        if (::unlink(target.c_str()) != 0) raiseFor(errno, target, Kind::File);
      }
      if (::symlink(link.c_str(), target.c_str()) != 0) raiseFor(errno, target, Kind::File);
      continue;
    }
    if (isFolder(source)) {
      if (isFile(target)) raiseObjectError(err::kFileAlreadyExists);
      copyFolder(source, target, overwrite);
    } else {
      if (isFolder(target) || (!overwrite && isFile(target))) raiseObjectError(err::kFileAlreadyExists);
      copyFile(source, target);
    }
  }
}

void deleteTree(const std::string& path) {
  struct stat st {};
  if (!lstatOf(path, st)) raiseFor(errno, path, Kind::Folder);
  if (S_ISDIR(st.st_mode)) {
    for (const std::string& name : listFolder(path)) deleteTree(path + "/" + name);
    if (::rmdir(path.c_str()) != 0) raiseFor(errno, path, Kind::Folder);
  } else if (::unlink(path.c_str()) != 0) {
    raiseFor(errno, path, Kind::File);
  }
}

void move(const std::string& from, const std::string& to, Kind kind) {
  if (::rename(from.c_str(), to.c_str()) == 0) return;
  if (errno != EXDEV) raiseFor(errno, from, kind);
  if (kind == Kind::Folder) {
    copyFolder(from, to, false);
  } else {
    copyFile(from, to);
  }
  deleteTree(from);
}

Text fileTime(const struct timespec& time) {
  std::tm t{};
  const std::time_t seconds = time.tv_sec;
  localtime_r(&seconds, &t);
  char text[64];
  std::snprintf(text, sizeof text, "%d/%d/%d %d:%02d:%02d %s", t.tm_mon + 1, t.tm_mday, t.tm_year + 1900,
                t.tm_hour % 12 == 0 ? 12 : t.tm_hour % 12, t.tm_min, t.tm_sec, t.tm_hour < 12 ? "AM" : "PM");
  return Text::fromUtf8(text);
}

}  // namespace zidevuv10::script::files
