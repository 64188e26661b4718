#include "registry/trusted_path.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>
#include <utility>
#include <vector>

#include "paths/host_path.h"

namespace zidevuv10::frame {

namespace {

constexpr int kMaxLinks = 40;  // as the kernel's own limit

std::string ownerReason(const std::string& path, const struct stat& st) {
  if (st.st_uid != ::geteuid() && st.st_uid != 0) {
    return path + " is owned by user " + std::to_string(st.st_uid);
  }
  return {};
}

std::string checkOne(const std::string& path, const struct stat& st) {
  if (std::string reason = ownerReason(path, st); !reason.empty()) return reason;
  const bool sticky = S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) != 0;
  if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0 && !sticky) {
    return path + " is writable by others than its owner";
  }
  return {};
}

// The path names no file: a component is missing, or is no folder.
bool namesNothing(int error) { return error == ENOENT || error == ENOTDIR; }

std::string systemError(const std::string& path) { return path + ": " + std::strerror(errno); }

std::string joined(const std::string& folder, const std::string& name) {
  return folder == "/" ? "/" + name : folder + "/" + name;
}

// Pushes the components of `path` so that the first one is taken first.
void pushComponents(std::vector<std::string>& pending, const std::string& path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t end = std::min(path.find('/', start), path.size());
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  pending.insert(pending.end(), parts.rbegin(), parts.rend());
}

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() { reset(-1); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  void reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  int release() { return std::exchange(fd_, -1); }
  int get() const { return fd_; }

 private:
  int fd_;
};

// The root folder, opened and checked; the reason when it may not be trusted.
std::string openRoot(Fd& dir) {
  dir.reset(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
  struct stat st {};
  if (dir.get() < 0 || ::fstat(dir.get(), &st) != 0) return systemError("/");
  return checkOne("/", st);
}

// Follows the link `name` in `dir` (at `at`) when its owner is the caller
// or root, the kernel's rule for links in sticky folders, applied to every
// folder: its target's components are taken next, from the root folder for
// an absolute target. The reason when it may not be followed.
std::string followLink(Fd& dir, std::string& at, const std::string& name, const std::string& full,
                       const struct stat& st, std::vector<std::string>& pending) {
  if (std::string reason = ownerReason(full, st); !reason.empty()) return reason;
  std::string target(PATH_MAX, '\0');
  const ssize_t n = ::readlinkat(dir.get(), name.c_str(), target.data(), target.size());
  if (n < 0) return systemError(full);
  if (static_cast<std::size_t>(n) >= target.size()) return full + ": link target too long";
  target.resize(static_cast<std::size_t>(n));
  pushComponents(pending, target);
  if (target.empty() || target[0] != '/') return {};
  at = "/";
  return openRoot(dir);
}

}  // namespace

TrustedFile TrustedFile::open(const std::string& path) {
  TrustedFile out;
  std::vector<std::string> pending;
  if (path.empty() || path[0] != '/') {
    char cwd[PATH_MAX];
    if (::getcwd(cwd, sizeof cwd) == nullptr) {
      out.reason_ = "its folder cannot be resolved";
      return out;
    }
    pushComponents(pending, cwd + std::string("/") + path);
  } else {
    pushComponents(pending, path);
  }
  Fd dir;
  std::string at = "/";
  out.reason_ = openRoot(dir);
  int links = 0;
  while (out.reason_.empty() && !pending.empty()) {
    const std::string name = std::move(pending.back());
    pending.pop_back();
    if (name == ".") continue;
    if (name == "..") {
      // Back to the folder this one was reached from, checked on the way in.
      dir.reset(::openat(dir.get(), "..", O_PATH | O_DIRECTORY | O_CLOEXEC));
      if (dir.get() < 0) out.reason_ = systemError(at + "/..");
      at = paths::folderOf(at);
      continue;
    }
    const std::string full = joined(at, name);
    struct stat st {};
    if (::fstatat(dir.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      if (!namesNothing(errno)) out.reason_ = systemError(full);
      out.resolved_ = full;
      return out;  // missing, or the reason
    }
    if (S_ISLNK(st.st_mode)) {
      out.reason_ = ++links > kMaxLinks ? full + ": too many levels of links"
                                        : followLink(dir, at, name, full, st, pending);
      continue;
    }
    const bool last = pending.empty();
    if (last && !S_ISREG(st.st_mode)) {
      out.reason_ = full + " is not a regular file";  // never opened: a FIFO would block
      break;
    }
    const int flags = last ? O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC
                           : O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    Fd opened(::openat(dir.get(), name.c_str(), flags));
    if (opened.get() < 0) {
      // A file where a folder should be, or gone since it was looked at
      // (missing); or replaced by a link.
      if (!namesNothing(errno)) out.reason_ = systemError(full);
      out.resolved_ = full;
      return out;
    }
    if (::fstat(opened.get(), &st) != 0) {
      out.reason_ = systemError(full);
    } else if (last && !S_ISREG(st.st_mode)) {
      out.reason_ = full + " is not a regular file";
    } else if ((out.reason_ = checkOne(full, st)).empty()) {
      at = full;
      if (last) {
        out.fd_ = opened.release();
      } else {
        dir.reset(opened.release());
      }
    }
  }
  out.resolved_ = at;
  // The path ended on a folder ("/", "x/..").
  if (out.fd_ < 0 && out.reason_.empty()) out.reason_ = at + " is not a regular file";
  return out;
}

TrustedFile::TrustedFile(TrustedFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      reason_(std::move(other.reason_)),
      resolved_(std::move(other.resolved_)) {}

TrustedFile::~TrustedFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool TrustedFile::readAll(std::string& out, std::size_t limit) {
  out.clear();
  char chunk[65536];
  for (;;) {
    const ssize_t n = ::read(fd_, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      reason_ = systemError(resolved_);
      return false;
    }
    if (n == 0) return true;
    if (out.size() + static_cast<std::size_t>(n) > limit) {
      reason_ = resolved_ + " is larger than " + std::to_string(limit) + " bytes";
      return false;
    }
    out.append(chunk, static_cast<std::size_t>(n));
  }
}

void warnOnce(const std::string& what, const std::string& path, const std::string& reason) {
  static std::mutex mutex;
  static std::set<std::string> printed;
  const std::string message = "zidevuv10: ignoring " + what + " " + path + ": " + reason;
  std::lock_guard<std::mutex> lock(mutex);
  if (printed.insert(message).second) std::fprintf(stderr, "%s\n", message.c_str());
}

}  // namespace zidevuv10::frame
