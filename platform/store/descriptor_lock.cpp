#include "store/descriptor_lock.h"

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "sync/fork_safe_mutex.h"

namespace zidevuv10::store {

namespace {

// The descriptors of this process's folder locks. A descriptor is entered
// under the mutex in the same step as it is opened and leaves in the same
// step as it is closed, so that a fork never copies one the list lacks.
// In a forked child the list's descriptors are closed and the generation
// moves on: a FolderLock the forking thread still held then knows its
// descriptor is gone (and its number perhaps taken by another file).
struct HeldLocks {
  sync::ForkSafeMutex mutex;
  std::vector<int> fds;
  uint64_t generation = 1;

  static HeldLocks& instance() {
    static HeldLocks* const held = [] {
      auto* h = new HeldLocks;  // never destroyed: locks may be released during exit
      pthread_atfork(nullptr, nullptr, &HeldLocks::dropInChild);
      return h;
    }();
    return *held;
  }

  // The child has one thread, and the list was whole at the fork (its mutex
  // was held by the forking thread): no locking here. The descriptors are
  // closed directly, not through the FileSystem they came from, which may
  // hold locks of its own that a thread of the parent had.
  static void dropInChild() {
    HeldLocks& h = instance();
    for (const int fd : h.fds) ::close(fd);
    h.fds.clear();
    ++h.generation;
  }
};

int64_t parseMs(const char* text) {
  if (text == nullptr || *text == '\0') return -1;
  int64_t v = 0;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p < '0' || *p > '9') return -1;
    v = v * 10 + (*p - '0');
    if (v > 24LL * 3600 * 1000) return -1;
  }
  return v;
}

}  // namespace

int DescriptorLock::timeoutMs() {
  const int64_t ms = parseMs(std::getenv("ZIDEVUV10_LOCK_TIMEOUT_MS"));
  return ms < 0 ? kDefaultTimeoutMs : static_cast<int>(ms);
}

DescriptorLock::~DescriptorLock() { release(); }

void DescriptorLock::release() {
  if (fd_ < 0) return;
  HeldLocks& held = HeldLocks::instance();
  std::lock_guard<sync::ForkSafeMutex> guard(held.mutex);
  if (generation_ == held.generation) {
    if (const auto it = std::find(held.fds.begin(), held.fds.end(), fd_); it != held.fds.end()) {
      held.fds.erase(it);
    }
    fs_->close(fd_);
  }
  fd_ = -1;
}

int DescriptorLock::acquireFolder(fs::FileSystem& fs, const std::string& folder) {
  return acquire(
      fs, [&] { return fs.open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0); }, timeoutMs());
}

int DescriptorLock::acquire(fs::FileSystem& fs, const std::function<int()>& open,
                            int timeoutMs) {
  release();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  HeldLocks& held = HeldLocks::instance();
  {
    std::lock_guard<sync::ForkSafeMutex> guard(held.mutex);
    const int fd = open();
    if (fd < 0) return fd;
    held.fds.push_back(fd);
    fs_ = &fs;
    fd_ = fd;
    generation_ = held.generation;
  }
  // Without others waiting, one try. Otherwise (or when that fails) this
  // writer marks itself waiting and tries at random intervals of under a
  // millisecond until the deadline. A writer that just let go of the lock
  // sees the others' marks and queues among them instead of taking it back
  // at once, so that no writer is starved while another writes in a loop.
  // Where the mark is not available, the writers just try.
  if (fs.othersWaiting(fd_) != 1) {
    const int rc = fs.tryLockExclusive(fd_);
    if (rc != -EWOULDBLOCK) {
      if (rc != 0) release();
      return rc;
    }
  }
  const bool marked = fs.markWaiting(fd_, true) == 0;
  thread_local std::minstd_rand jitter(static_cast<unsigned>(
      std::hash<std::thread::id>{}(std::this_thread::get_id()) ^ static_cast<unsigned>(::getpid())));
  for (;;) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) {
      release();
      return -ETIMEDOUT;
    }
    const auto pause = std::chrono::microseconds(100 + jitter() % 700);
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(pause, deadline - now));
    const int rc = fs.tryLockExclusive(fd_);
    if (rc == 0) {
      const int unmarked = marked ? fs.markWaiting(fd_, false) : 0;
      if (unmarked != 0) release();
      return unmarked;
    }
    if (rc != -EWOULDBLOCK) {
      release();
      return rc;
    }
  }
}

}  // namespace zidevuv10::store
