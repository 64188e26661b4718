// The writers' lock of one settings file (WRITE_PROTOCOL.md, "The lock"):
// an flock on the file's lock file ".<name>.zdv-lock" (the name
// case-folded, so that every spelling shares it), which only the file's
// writers can open, then a short try at the folder's flock, the lock
// earlier versions take. Where the lock file cannot be used (another
// user's is in the way, or the caller may not open it) the folder's flock
// is waited for instead, as before.
#pragma once

#include <string>

#include "fs/file_system.h"
#include "store/descriptor_lock.h"

namespace zidevuv10::store {

class WriteLock {
 public:
  // How long the folder's flock is tried for beside the lock file: one try.
  // Writers of other files of the folder hold it too, and waiting for them
  // would make them take turns.
  static constexpr int kFolderTryMs = 0;

  WriteLock() = default;
  WriteLock(const WriteLock&) = delete;
  WriteLock& operator=(const WriteLock&) = delete;
  ~WriteLock() { release(); }

  // Waits until the writers' lock of `target` (a host path whose last
  // part is no link) is held: 0 or -errno (-ENOENT: no such folder;
  // -ETIMEDOUT: other writers held it all the time allowed).
  int acquire(fs::FileSystem& fs, const std::string& target) {
    return acquire(fs, target, DescriptorLock::timeoutMs());
  }
  // The same, waiting at most timeoutMs for other writers.
  int acquire(fs::FileSystem& fs, const std::string& target, int timeoutMs);
  // Removes the lock file when it is the caller's and nobody waits on it,
  // then lets the lock go.
  void release();
  // Whether the lock file was there before this writer took the lock (a
  // writer before it died holding it, or others wait on it), or could not
  // be used: what a crashed writer leaves beside its temporary file.
  bool foundLockFile() const { return foundLockFile_; }

 private:
  int acquireLockFile(fs::FileSystem& fs, const std::string& target, int timeoutMs);

  fs::FileSystem* fs_ = nullptr;
  std::string lockPath_;
  bool ownFile_ = false;
  bool foundLockFile_ = false;
  DescriptorLock file_;
  DescriptorLock folder_;
};

// The lock file's name for a target.
std::string lockFileName(const std::string& target);

}  // namespace zidevuv10::store
