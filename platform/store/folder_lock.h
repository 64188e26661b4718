// The lock that serialises read-modify-write cycles on the files of a folder.
//
// It is an flock() on the folder itself, which no rename can replace; each
// acquisition opens its own descriptor, so threads of one process exclude
// each other as processes do. Whoever may read the folder may take the lock
// too, so a writer waits only a bounded time (ZIDEVUV10_LOCK_TIMEOUT_MS,
// default kDefaultTimeoutMs), trying without blocking at short intervals,
// and then gives up with -ETIMEDOUT rather than hang.
//
// The descriptors of held locks are known process-wide: a child forked
// without exec closes its copies at once, so that it never keeps a parent's
// lock (an flock lasts while any copy of its descriptor is open). The
// descriptors are opened close-on-exec.
#pragma once

#include <cstdint>
#include <string>

#include "fs/file_system.h"

namespace zidevuv10::store {

class FolderLock {
 public:
  static constexpr int kDefaultTimeoutMs = 5000;

  FolderLock() = default;
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  ~FolderLock();
  // Waits until the folder's lock is held; 0 or -errno (-ENOENT: no such
  // folder; -ETIMEDOUT: someone else held it all the time allowed).
  int acquire(fs::FileSystem& fs, const std::string& folder);

  // The wait allowed, from ZIDEVUV10_LOCK_TIMEOUT_MS (milliseconds; 0: no
  // waiting) or the default.
  static int timeoutMs();

 private:
  void release();

  fs::FileSystem* fs_ = nullptr;
  int fd_ = -1;
  uint64_t generation_ = 0;  // of the process the descriptor belongs to
};

}  // namespace zidevuv10::store
