// An exclusive flock() held on a descriptor: the lock that serialises
// read-modify-write cycles (on a writers' lock file, store/write_lock.h, or
// on a folder, the lock earlier versions of this library take).
//
// Waiting is bounded: a writer tries without blocking at short random
// intervals until its deadline, then gives up with -ETIMEDOUT rather than
// hang. Waiting writers mark themselves on the descriptor (an OFD read lock
// where the descriptor allows one), so that a writer that just let go of
// the lock queues among them instead of taking it back at once.
//
// The descriptors of held locks are known process-wide: a child forked
// without exec closes its copies at once, so that it never keeps a parent's
// lock (an flock lasts while any copy of its descriptor is open). The
// descriptors are opened close-on-exec.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "fs/file_system.h"

namespace zidevuv10::store {

class DescriptorLock {
 public:
  static constexpr int kDefaultTimeoutMs = 5000;

  DescriptorLock() = default;
  DescriptorLock(const DescriptorLock&) = delete;
  DescriptorLock& operator=(const DescriptorLock&) = delete;
  ~DescriptorLock();

  // Opens the descriptor with `open` (fd or -errno; called so that no fork
  // copies it unrecorded) and waits at most timeoutMs until its lock is
  // held; 0 or -errno (the open's error; -ETIMEDOUT: someone else held it
  // all the time allowed).
  int acquire(fs::FileSystem& fs, const std::function<int()>& open, int timeoutMs);
  // The same for a folder, waited for timeoutMs() (-ENOENT: no such folder).
  int acquireFolder(fs::FileSystem& fs, const std::string& folder);

  bool held() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  // Closes the descriptor, letting the lock go.
  void release();

  // The wait allowed, from ZIDEVUV10_LOCK_TIMEOUT_MS (milliseconds; 0: no
  // waiting) or the default.
  static int timeoutMs();

 private:
  fs::FileSystem* fs_ = nullptr;
  int fd_ = -1;
  uint64_t generation_ = 0;  // of the process the descriptor belongs to
};

}  // namespace zidevuv10::store
