// A mutex that no forked child finds held.
//
// fork() copies only the calling thread: a mutex another thread held at that
// moment stays locked in the child for good, and the child's first call that
// needs it hangs. Every ForkSafeMutex is known process-wide; a pthread_atfork
// handler takes all of them before the fork (waiting for the threads inside to
// leave, so the data they guard is whole) and lets them go again afterwards,
// in the parent and in the child alike.
//
// Use it like std::mutex (it is Lockable). fork() must not be called while
// the forking thread itself holds one.
#pragma once

#include <mutex>

namespace zidevuv10::sync {

class ForkSafeMutex {
 public:
  ForkSafeMutex();
  ~ForkSafeMutex();
  ForkSafeMutex(const ForkSafeMutex&) = delete;
  ForkSafeMutex& operator=(const ForkSafeMutex&) = delete;

  void lock() { mutex_.lock(); }
  bool try_lock() { return mutex_.try_lock(); }
  void unlock() { mutex_.unlock(); }

 private:
  friend struct ForkSafeMutexList;
  std::mutex mutex_;
  ForkSafeMutex* prev_ = nullptr;
  ForkSafeMutex* next_ = nullptr;
};

}  // namespace zidevuv10::sync
