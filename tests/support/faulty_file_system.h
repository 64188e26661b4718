// A FileSystem for tests that passes every call to a real one and fails
// chosen calls with a chosen error: the Nth call of one operation, the Nth
// call of any operation (to sweep "fail at step k" over a whole write), or
// every call of an operation on paths containing some text. It counts the
// calls it sees and records the ones it failed.
//
// A failed open, read, write, fsync, fchmod, rename ... does nothing. A
// failed close still closes the descriptor, as close(2) does on Linux, so
// that no descriptor leaks. Writes can also be cut short (at most
// `maxWriteChunk` bytes per call) to exercise the callers' retry loops, and
// the file times that stat reports can be coarsened to a chosen granularity,
// as on file systems (or kernels) whose timestamps move in coarse ticks, so
// that several changes of a file share one timestamp. A hook, run before
// each call is carried out, lets a test change the file at an exact moment
// of the caller's work (between its stat and its read, say).
//
// Thread safety: every member may be called from any thread; one mutex
// guards the counters and the fault plan.
#pragma once

#include <cerrno>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "fs/file_system.h"

namespace zidevuv10::testing {

enum class FsOp {
  Open,
  Close,
  Read,
  Write,
  Fsync,
  Fchmod,
  Fchown,
  Fstat,
  Stat,
  Lstat,
  Readlink,
  Rename,
  Unlink,
  Mkdir,
  ListFolder,
  Lock,
  Ftruncate,
  ListXattrs,
  GetXattr,
  SetXattr,
  RemoveXattr,
  Link,
  LockWaiters,
  Random,
  CurrentFolder,
  Count_  // number of operations, not an operation
};

inline const char* fsOpName(FsOp op) {
  static const char* const names[] = {"open",  "close",  "read",     "write",  "fsync",
                                      "fchmod", "fchown", "fstat",   "stat",   "lstat",
                                      "readlink", "rename", "unlink", "mkdir", "listFolder",
                                      "lock", "ftruncate", "listXattrs", "getXattr",
                                      "setXattr", "removeXattr", "link", "lockWaiters",
                                      "random", "currentFolder"};
  const auto i = static_cast<std::size_t>(op);
  return i < static_cast<std::size_t>(FsOp::Count_) ? names[i] : "?";
}

class FaultyFileSystem final : public fs::FileSystem {
 public:
  explicit FaultyFileSystem(std::shared_ptr<fs::FileSystem> real = fs::posixFileSystem())
      : real_(std::move(real)) {}

  // Fails the nth call (1-based, counted from now) of `op` whose path
  // contains `pathPart` (calls on descriptors match any pathPart: the path
  // of a descriptor is the one it was opened with), with -error. One shot.
  void failNth(FsOp op, int n, int error, std::string pathPart = {}) {
    std::lock_guard<std::mutex> lock(mutex_);
    Fault f;
    f.op = op;
    f.remaining = n;
    f.error = error;
    f.pathPart = std::move(pathPart);
    faults_.push_back(std::move(f));
  }

  // Fails the nth call (1-based, counted from now) of any operation. One shot.
  void failStep(int n, int error) {
    std::lock_guard<std::mutex> lock(mutex_);
    Fault f;
    f.anyOp = true;
    f.remaining = n;
    f.error = error;
    faults_.push_back(std::move(f));
  }

  // Fails every call of `op` on a path containing `pathPart` until cleared.
  void failAlways(FsOp op, int error, std::string pathPart = {}) {
    std::lock_guard<std::mutex> lock(mutex_);
    Fault f;
    f.op = op;
    f.remaining = 1;
    f.error = error;
    f.pathPart = std::move(pathPart);
    f.sticky = true;
    faults_.push_back(std::move(f));
  }

  // Writes at most this many bytes per call (0: no limit).
  void setMaxWriteChunk(std::size_t n) {
    std::lock_guard<std::mutex> lock(mutex_);
    maxWriteChunk_ = n;
  }

  // Rounds the modification, change and access times stat reports down to
  // a multiple of this many nanoseconds (0: as the file system has them).
  void setTimestampGranularity(long ns) {
    std::lock_guard<std::mutex> lock(mutex_);
    granularity_ = ns;
  }

  // Runs before every call that is not failed, outside the lock, with the
  // operation and its path; the hook may use the real file system freely.
  void setHook(std::function<void(FsOp, const std::string&)> hook) {
    std::lock_guard<std::mutex> lock(mutex_);
    hook_ = std::move(hook);
  }

  // Runs after every successful fsync, outside the lock, with the
  // descriptor and the path it was opened with (a power-loss model records
  // what is durable from here).
  void setSyncHook(std::function<void(int, const std::string&)> hook) {
    std::lock_guard<std::mutex> lock(mutex_);
    syncHook_ = std::move(hook);
  }

  // Forgets the planned faults, the counters and the record of failures.
  void reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    faults_.clear();
    for (auto& c : calls_) c = 0;
    totalCalls_ = 0;
    failures_.clear();
    maxWriteChunk_ = 0;
    granularity_ = 0;
    hook_ = nullptr;
    syncHook_ = nullptr;
  }

  int calls(FsOp op) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_[static_cast<std::size_t>(op)];
  }
  int totalCalls() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return totalCalls_;
  }
  // Whether any planned fault was applied since the last reset.
  bool faultHit() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return !failures_.empty();
  }
  // "op path" of each call that was failed, in order.
  std::vector<std::string> failures() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return failures_;
  }

  // --- FileSystem ---------------------------------------------------------

  int open(const std::string& path, int flags, mode_t mode) override {
    if (const int e = fault(FsOp::Open, path)) return e;
    const int fd = real_->open(path, flags, mode);
    if (fd >= 0) {
      std::lock_guard<std::mutex> lock(mutex_);
      paths_[fd] = path;
    }
    return fd;
  }
  int close(int fd) override {
    const int e = fault(FsOp::Close, pathOf(fd));
    {
      std::lock_guard<std::mutex> lock(mutex_);
      paths_.erase(fd);
    }
    const int rc = real_->close(fd);
    return e != 0 ? e : rc;
  }
  ssize_t read(int fd, void* buf, std::size_t n) override {
    if (const int e = fault(FsOp::Read, pathOf(fd))) return e;
    return real_->read(fd, buf, n);
  }
  ssize_t write(int fd, const void* buf, std::size_t n) override {
    if (const int e = fault(FsOp::Write, pathOf(fd))) return e;
    std::size_t chunk = n;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (maxWriteChunk_ != 0 && chunk > maxWriteChunk_) chunk = maxWriteChunk_;
    }
    return real_->write(fd, buf, chunk);
  }
  ssize_t pread(int fd, void* buf, std::size_t n, off_t offset) override {
    if (const int e = fault(FsOp::Read, pathOf(fd))) return e;
    return real_->pread(fd, buf, n, offset);
  }
  ssize_t pwrite(int fd, const void* buf, std::size_t n, off_t offset) override {
    if (const int e = fault(FsOp::Write, pathOf(fd))) return e;
    std::size_t chunk = n;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (maxWriteChunk_ != 0 && chunk > maxWriteChunk_) chunk = maxWriteChunk_;
    }
    return real_->pwrite(fd, buf, chunk, offset);
  }
  int fsync(int fd) override {
    const std::string path = pathOf(fd);
    if (const int e = fault(FsOp::Fsync, path)) return e;
    const int rc = real_->fsync(fd);
    std::function<void(int, const std::string&)> synced;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      synced = syncHook_;
    }
    if (rc == 0 && synced) synced(fd, path);
    return rc;
  }
  int fchmod(int fd, mode_t mode) override {
    if (const int e = fault(FsOp::Fchmod, pathOf(fd))) return e;
    return real_->fchmod(fd, mode);
  }
  int fchown(int fd, uid_t uid, gid_t gid) override {
    if (const int e = fault(FsOp::Fchown, pathOf(fd))) return e;
    return real_->fchown(fd, uid, gid);
  }
  int ftruncate(int fd, off_t length) override {
    if (const int e = fault(FsOp::Ftruncate, pathOf(fd))) return e;
    return real_->ftruncate(fd, length);
  }
  int fstat(int fd, struct stat& st) override {
    if (const int e = fault(FsOp::Fstat, pathOf(fd))) return e;
    return coarsen(real_->fstat(fd, st), st);
  }
  int stat(const std::string& path, struct stat& st) override {
    if (const int e = fault(FsOp::Stat, path)) return e;
    return coarsen(real_->stat(path, st), st);
  }
  int lstat(const std::string& path, struct stat& st) override {
    if (const int e = fault(FsOp::Lstat, path)) return e;
    return coarsen(real_->lstat(path, st), st);
  }
  int readlink(const std::string& path, std::string& target) override {
    if (const int e = fault(FsOp::Readlink, path)) return e;
    return real_->readlink(path, target);
  }
  int rename(const std::string& from, const std::string& to) override {
    if (const int e = fault(FsOp::Rename, from + " -> " + to)) return e;
    return real_->rename(from, to);
  }
  int unlink(const std::string& path) override {
    if (const int e = fault(FsOp::Unlink, path)) return e;
    return real_->unlink(path);
  }
  int link(const std::string& existing, const std::string& newName) override {
    if (const int e = fault(FsOp::Link, existing + " -> " + newName)) return e;
    return real_->link(existing, newName);
  }
  int mkdir(const std::string& path, mode_t mode) override {
    if (const int e = fault(FsOp::Mkdir, path)) return e;
    return real_->mkdir(path, mode);
  }
  int listFolder(const std::string& path, std::vector<std::string>& names) override {
    if (const int e = fault(FsOp::ListFolder, path)) return e;
    return real_->listFolder(path, names);
  }
  int tryLockExclusive(int fd) override {
    if (const int e = fault(FsOp::Lock, pathOf(fd))) return e;
    return real_->tryLockExclusive(fd);
  }
  int markWaiting(int fd, bool waiting) override {
    if (const int e = fault(FsOp::LockWaiters, pathOf(fd))) return e;
    return real_->markWaiting(fd, waiting);
  }
  int othersWaiting(int fd) override {
    if (const int e = fault(FsOp::LockWaiters, pathOf(fd))) return e;
    return real_->othersWaiting(fd);
  }
  int listXattrs(int fd, std::vector<std::string>& names) override {
    if (const int e = fault(FsOp::ListXattrs, pathOf(fd))) return e;
    return real_->listXattrs(fd, names);
  }
  int getXattr(int fd, const std::string& name, std::string& value) override {
    if (const int e = fault(FsOp::GetXattr, pathOf(fd))) return e;
    return real_->getXattr(fd, name, value);
  }
  int setXattr(int fd, const std::string& name, const std::string& value) override {
    if (const int e = fault(FsOp::SetXattr, pathOf(fd))) return e;
    return real_->setXattr(fd, name, value);
  }
  int removeXattr(int fd, const std::string& name) override {
    if (const int e = fault(FsOp::RemoveXattr, pathOf(fd))) return e;
    return real_->removeXattr(fd, name);
  }
  uid_t effectiveUid() override { return real_->effectiveUid(); }
  int randomBytes(void* buf, std::size_t n) override {
    if (const int e = fault(FsOp::Random, {})) return e;
    return real_->randomBytes(buf, n);
  }
  int currentFolder(std::string& path) override {
    if (const int e = fault(FsOp::CurrentFolder, {})) return e;
    return real_->currentFolder(path);
  }

 private:
  struct Fault {
    FsOp op = FsOp::Open;
    bool anyOp = false;
    bool sticky = false;
    int remaining = 0;  // calls still to let through, plus one
    int error = EIO;
    std::string pathPart;
  };

  std::string pathOf(int fd) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = paths_.find(fd);
    return it == paths_.end() ? std::string() : it->second;
  }

  int coarsen(int rc, struct stat& st) const {
    long g = 0;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      g = granularity_;
    }
    if (rc == 0 && g > 0) {
      for (timespec* t : {&st.st_mtim, &st.st_ctim, &st.st_atim}) {
        const long long ns = static_cast<long long>(t->tv_sec) * 1000000000LL + t->tv_nsec;
        const long long rounded = ns - ns % g;
        t->tv_sec = static_cast<time_t>(rounded / 1000000000LL);
        t->tv_nsec = static_cast<long>(rounded % 1000000000LL);
      }
    }
    return rc;
  }

  // Counts the call; -error when a planned fault applies to it, else 0.
  int fault(FsOp op, const std::string& path) {
    std::unique_lock<std::mutex> lock(mutex_);
    ++calls_[static_cast<std::size_t>(op)];
    ++totalCalls_;
    int result = 0;
    for (auto it = faults_.begin(); it != faults_.end();) {
      const bool matches = it->anyOp || (it->op == op && (it->pathPart.empty() ||
                                                          path.find(it->pathPart) !=
                                                              std::string::npos));
      if (!matches) {
        ++it;
        continue;
      }
      if (it->sticky) {
        if (result == 0) result = -it->error;
        ++it;
        continue;
      }
      if (--it->remaining == 0) {
        if (result == 0) result = -it->error;
        it = faults_.erase(it);
        continue;
      }
      ++it;
    }
    if (result != 0) {
      failures_.push_back(std::string(fsOpName(op)) + " " + path);
      return result;
    }
    if (hook_) {
      const auto hook = hook_;
      lock.unlock();
      hook(op, path);
    }
    return 0;
  }

  std::shared_ptr<fs::FileSystem> real_;
  mutable std::mutex mutex_;
  std::vector<Fault> faults_;
  int calls_[static_cast<std::size_t>(FsOp::Count_)] = {};
  int totalCalls_ = 0;
  std::vector<std::string> failures_;
  std::unordered_map<int, std::string> paths_;
  std::size_t maxWriteChunk_ = 0;
  long granularity_ = 0;
  std::function<void(FsOp, const std::string&)> hook_;
  std::function<void(int, const std::string&)> syncHook_;
};

}  // namespace zidevuv10::testing
