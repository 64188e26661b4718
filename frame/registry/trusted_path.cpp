#include "registry/trusted_path.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>

#include "paths/host_path.h"

namespace zidevuv10::frame {

namespace {

std::string checkOne(const std::string& path, const struct stat& st) {
  if (st.st_uid != ::geteuid() && st.st_uid != 0) {
    return path + " is owned by user " + std::to_string(st.st_uid);
  }
  const bool sticky = S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) != 0;
  if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0 && !sticky) {
    return path + " is writable by others than its owner";
  }
  return {};
}

std::string realPath(const std::string& path) {
  char* real = ::realpath(path.c_str(), nullptr);
  if (real == nullptr) return {};
  std::string out = real;
  std::free(real);
  return out;
}

// The real path of the file, or of the deepest folder above it that exists.
std::string deepestExisting(std::string path) {
  for (;;) {
    if (std::string real = realPath(path); !real.empty()) return real;
    path = paths::folderOf(path);
    if (path == ".") return realPath(".");
    if (path == "/") return "/";
  }
}

}  // namespace

std::string untrustedReason(const std::string& path) {
  std::string real = deepestExisting(path);
  if (real.empty() || real[0] != '/') return "its folder cannot be resolved";
  for (;;) {
    struct stat st {};
    if (::stat(real.c_str(), &st) != 0) return real + ": " + std::strerror(errno);
    if (std::string reason = checkOne(real, st); !reason.empty()) return reason;
    if (real == "/") return {};
    real = paths::folderOf(real);
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
