#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "fs/file_system.h"

namespace zidevuv10::fs {

namespace {

int result(int rc) { return rc < 0 ? -errno : rc; }

class PosixFileSystem final : public FileSystem {
 public:
  int open(const std::string& path, int flags, mode_t mode) override {
    int fd;
    do {
      fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return result(fd);
  }
  int close(int fd) override { return result(::close(fd)); }
  ssize_t read(int fd, void* buf, std::size_t n) override {
    ssize_t r;
    do {
      r = ::read(fd, buf, n);
    } while (r < 0 && errno == EINTR);
    return r < 0 ? -errno : r;
  }
  ssize_t write(int fd, const void* buf, std::size_t n) override {
    ssize_t r;
    do {
      r = ::write(fd, buf, n);
    } while (r < 0 && errno == EINTR);
    return r < 0 ? -errno : r;
  }
  ssize_t pread(int fd, void* buf, std::size_t n, off_t offset) override {
    ssize_t r;
    do {
      r = ::pread(fd, buf, n, offset);
    } while (r < 0 && errno == EINTR);
    return r < 0 ? -errno : r;
  }
  ssize_t pwrite(int fd, const void* buf, std::size_t n, off_t offset) override {
    ssize_t r;
    do {
      r = ::pwrite(fd, buf, n, offset);
    } while (r < 0 && errno == EINTR);
    return r < 0 ? -errno : r;
  }
  int fsync(int fd) override { return result(::fsync(fd)); }
  int fchmod(int fd, mode_t mode) override { return result(::fchmod(fd, mode)); }
  int fchown(int fd, uid_t uid, gid_t gid) override { return result(::fchown(fd, uid, gid)); }
  int ftruncate(int fd, off_t length) override {
    int rc;
    do {
      rc = ::ftruncate(fd, length);
    } while (rc < 0 && errno == EINTR);
    return result(rc);
  }
  int fstat(int fd, struct stat& st) override { return result(::fstat(fd, &st)); }
  int stat(const std::string& path, struct stat& st) override {
    return result(::stat(path.c_str(), &st));
  }
  int lstat(const std::string& path, struct stat& st) override {
    return result(::lstat(path.c_str(), &st));
  }
  int readlink(const std::string& path, std::string& target) override {
    std::string buf(4096, '\0');
    const ssize_t n = ::readlink(path.c_str(), buf.data(), buf.size());
    if (n < 0) return -errno;
    buf.resize(static_cast<std::size_t>(n));
    target = std::move(buf);
    return 0;
  }
  int rename(const std::string& from, const std::string& to) override {
    return result(::rename(from.c_str(), to.c_str()));
  }
  int unlink(const std::string& path) override { return result(::unlink(path.c_str())); }
  int link(const std::string& existing, const std::string& newName) override {
    return result(::link(existing.c_str(), newName.c_str()));
  }
  int mkdir(const std::string& path, mode_t mode) override {
    return result(::mkdir(path.c_str(), mode));
  }
  int listFolder(const std::string& path, std::vector<std::string>& names) override {
    DIR* dir = ::opendir(path.c_str());
    if (dir == nullptr) return -errno;
    names.clear();
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
      if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
        names.emplace_back(entry->d_name);
      }
    }
    const int err = errno;
    ::closedir(dir);
    return -err;
  }
  int tryLockExclusive(int fd) override {
    int rc;
    do {
      rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc < 0 && errno == EINTR);
    return result(rc);
  }
  // The mark is a read lock on the first byte, of the kind tied to the open
  // file description (not to the process), which flock() does not see.
  int markWaiting(int fd, bool waiting) override {
    struct flock fl {};
    fl.l_type = waiting ? F_RDLCK : F_UNLCK;
    fl.l_whence = SEEK_SET;
    fl.l_len = 1;
    return result(::fcntl(fd, F_OFD_SETLK, &fl));
  }
  int othersWaiting(int fd) override {
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_len = 1;
    if (::fcntl(fd, F_OFD_GETLK, &fl) < 0) return -errno;
    return fl.l_type == F_UNLCK ? 0 : 1;
  }
  int listXattrs(int fd, std::vector<std::string>& names) override {
    names.clear();
    std::string buf;
    for (;;) {
      const ssize_t size = ::flistxattr(fd, nullptr, 0);
      if (size < 0) return -errno;
      buf.resize(static_cast<std::size_t>(size));
      const ssize_t n = size == 0 ? 0 : ::flistxattr(fd, buf.data(), buf.size());
      if (n < 0 && errno == ERANGE) continue;  // grew in between
      if (n < 0) return -errno;
      buf.resize(static_cast<std::size_t>(n));
      break;
    }
    for (std::size_t start = 0; start < buf.size();) {
      const std::size_t end = buf.find('\0', start);
      const std::size_t stop = end == std::string::npos ? buf.size() : end;
      if (stop > start) names.emplace_back(buf, start, stop - start);
      start = stop + 1;
    }
    return 0;
  }
  int getXattr(int fd, const std::string& name, std::string& value) override {
    for (;;) {
      const ssize_t size = ::fgetxattr(fd, name.c_str(), nullptr, 0);
      if (size < 0) return -errno;
      value.resize(static_cast<std::size_t>(size));
      const ssize_t n = size == 0 ? 0 : ::fgetxattr(fd, name.c_str(), value.data(), value.size());
      if (n < 0 && errno == ERANGE) continue;
      if (n < 0) return -errno;
      value.resize(static_cast<std::size_t>(n));
      return 0;
    }
  }
  int setXattr(int fd, const std::string& name, const std::string& value) override {
    return result(::fsetxattr(fd, name.c_str(), value.data(), value.size(), 0));
  }
  int removeXattr(int fd, const std::string& name) override {
    return result(::fremovexattr(fd, name.c_str()));
  }
  uid_t effectiveUid() override { return ::geteuid(); }
  int randomBytes(void* buf, std::size_t n) override {
    auto* out = static_cast<unsigned char*>(buf);
    while (n > 0) {
      const ssize_t got = ::getrandom(out, n, 0);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return -errno;
      if (got == 0) return -EIO;
      out += got;
      n -= static_cast<std::size_t>(got);
    }
    return 0;
  }
  int currentFolder(std::string& path) override {
    std::string buf(4096, '\0');
    for (;;) {
      if (::getcwd(buf.data(), buf.size()) != nullptr) {
        buf.resize(std::char_traits<char>::length(buf.c_str()));
        path = std::move(buf);
        return 0;
      }
      if (errno != ERANGE) return -errno;
      buf.resize(buf.size() * 2);
    }
  }
};

}  // namespace

std::shared_ptr<FileSystem> posixFileSystem() {
  static const std::shared_ptr<FileSystem> instance = std::make_shared<PosixFileSystem>();
  return instance;
}

int readAll(FileSystem& fs, int fd, std::string& out, std::size_t sizeHint) {
  // Read straight into the string, sized from fstat and grown if the file
  // turns out longer than it was.
  std::size_t capacity = sizeHint + 1;
  if (sizeHint == 0) {
    struct stat st {};
    capacity = fs.fstat(fd, st) == 0 && st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1
                                                       : 65536;
  }
  out.resize(capacity);
  std::size_t len = 0;
  for (;;) {
    if (len == out.size()) out.resize(out.size() * 2);
    const ssize_t n = fs.read(fd, out.data() + len, out.size() - len);
    if (n < 0) {
      out.clear();
      return static_cast<int>(n);
    }
    if (n == 0) break;
    const bool shortRead = static_cast<std::size_t>(n) < out.size() - len;
    len += static_cast<std::size_t>(n);
    // A short read of a regular file that has delivered all it was expected
    // to hold is its end: no second read needed to see 0.
    if (shortRead && sizeHint > 0 && len >= sizeHint) break;
  }
  out.resize(len);
  return 0;
}

int writeAll(FileSystem& fs, int fd, const char* data, std::size_t n) {
  while (n > 0) {
    const ssize_t w = fs.write(fd, data, n);
    if (w < 0) return static_cast<int>(w);
    if (w == 0) return -EIO;
    data += w;
    n -= static_cast<std::size_t>(w);
  }
  return 0;
}

int preadAll(FileSystem& fs, int fd, char* data, std::size_t n, off_t offset) {
  while (n > 0) {
    const ssize_t r = fs.pread(fd, data, n, offset);
    if (r < 0) return static_cast<int>(r);
    if (r == 0) return -EIO;
    data += r;
    n -= static_cast<std::size_t>(r);
    offset += r;
  }
  return 0;
}

int pwriteAll(FileSystem& fs, int fd, const char* data, std::size_t n, off_t offset) {
  while (n > 0) {
    const ssize_t w = fs.pwrite(fd, data, n, offset);
    if (w < 0) return static_cast<int>(w);
    if (w == 0) return -EIO;
    data += w;
    n -= static_cast<std::size_t>(w);
    offset += w;
  }
  return 0;
}

}  // namespace zidevuv10::fs
