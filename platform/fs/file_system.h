// The narrow file-system interface through which the profile store reaches
// the disk, and what it asks of the system beside the disk (the effective
// user, random bytes, the current folder). Every operation returns 0 (or a count / descriptor) on success
// and -errno on failure, so that a fault-injecting implementation can stand
// in for the real one in tests (a full disk, an I/O error, a crash between
// any two steps of a write).
//
// Thread safety: the POSIX implementation is stateless and may be used from
// any thread; implementations for tests document their own rules.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace zidevuv10::fs {

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  virtual int open(const std::string& path, int flags, mode_t mode) = 0;  // fd or -errno
  virtual int close(int fd) = 0;
  virtual ssize_t read(int fd, void* buf, std::size_t n) = 0;
  virtual ssize_t write(int fd, const void* buf, std::size_t n) = 0;
  // Reads and writes at an offset, leaving the descriptor's position alone.
  virtual ssize_t pread(int fd, void* buf, std::size_t n, off_t offset) = 0;
  virtual ssize_t pwrite(int fd, const void* buf, std::size_t n, off_t offset) = 0;
  virtual int fsync(int fd) = 0;
  virtual int fchmod(int fd, mode_t mode) = 0;
  virtual int fchown(int fd, uid_t uid, gid_t gid) = 0;
  virtual int ftruncate(int fd, off_t length) = 0;
  virtual int fstat(int fd, struct stat& st) = 0;
  virtual int stat(const std::string& path, struct stat& st) = 0;
  virtual int lstat(const std::string& path, struct stat& st) = 0;
  virtual int readlink(const std::string& path, std::string& target) = 0;
  virtual int rename(const std::string& from, const std::string& to) = 0;
  virtual int unlink(const std::string& path) = 0;
  // A second name for an existing file (a hard link); the new name must not exist.
  virtual int link(const std::string& existing, const std::string& newName) = 0;
  virtual int mkdir(const std::string& path, mode_t mode) = 0;
  // Names of a folder's entries, without "." and "..".
  virtual int listFolder(const std::string& path, std::vector<std::string>& names) = 0;
  // Takes an exclusive advisory lock, held until the descriptor is closed,
  // without waiting: 0, -EWOULDBLOCK while another holds it, or -errno.
  virtual int tryLockExclusive(int fd) = 0;
  // A mark, separate from that lock, by which writers waiting for it show
  // themselves to each other: set or cleared on this descriptor; 0 or -errno.
  virtual int markWaiting(int fd, bool waiting) = 0;
  // Whether a descriptor other than this one carries the mark: 1, 0 or -errno.
  virtual int othersWaiting(int fd) = 0;
  // Extended attributes of an open file (POSIX ACLs among them, as
  // system.posix_acl_access): the names the caller may see, one value, and
  // setting or removing one.
  virtual int listXattrs(int fd, std::vector<std::string>& names) = 0;
  virtual int getXattr(int fd, const std::string& name, std::string& value) = 0;
  virtual int setXattr(int fd, const std::string& name, const std::string& value) = 0;
  virtual int removeXattr(int fd, const std::string& name) = 0;
  // The process's effective user, whose files the store may take over or
  // remove (its own temporary files and journals).
  virtual uid_t effectiveUid() = 0;
  // Fills buf with n unpredictable bytes (names of temporary files); 0 or -errno.
  virtual int randomBytes(void* buf, std::size_t n) = 0;
  // The process's current folder, the base of relative paths; 0 or -errno
  // (-ENOENT when it was removed).
  virtual int currentFolder(std::string& path) = 0;
};

// The real file system, through POSIX calls.
std::shared_ptr<FileSystem> posixFileSystem();

// Reads a whole open file, expecting about sizeHint bytes (0: ask fstat);
// 0 or -errno.
int readAll(FileSystem& fs, int fd, std::string& out, std::size_t sizeHint = 0);
// Writes all bytes, retrying short writes; 0 or -errno.
int writeAll(FileSystem& fs, int fd, const char* data, std::size_t n);
// The same at an offset; 0 or -errno (-EIO when the file ends before n bytes).
int preadAll(FileSystem& fs, int fd, char* data, std::size_t n, off_t offset);
int pwriteAll(FileSystem& fs, int fd, const char* data, std::size_t n, off_t offset);

}  // namespace zidevuv10::fs
