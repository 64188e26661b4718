#include "sync/fork_safe_mutex.h"

#include <pthread.h>
#include <sched.h>

namespace zidevuv10::sync {

// Every live ForkSafeMutex, in a list guarded by a plain mutex. Neither is
// ever destroyed, so that mutexes outliving static destruction still work.
struct ForkSafeMutexList {
  pthread_mutex_t guard = PTHREAD_MUTEX_INITIALIZER;
  ForkSafeMutex* head = nullptr;

  static ForkSafeMutexList& instance() {
    static ForkSafeMutexList* const list = [] {
      auto* l = new ForkSafeMutexList;
      pthread_atfork(&ForkSafeMutexList::prepare, &ForkSafeMutexList::release,
                     &ForkSafeMutexList::release);
      return l;
    }();
    return *list;
  }

  // Takes the list and every mutex on it. A thread holding one of them may
  // be waiting for the list (to create or destroy a mutex), so a mutex that
  // is busy makes this let go of everything and try again: no lock order
  // between the list and its members is needed.
  static void prepare() {
    ForkSafeMutexList& l = instance();
    for (;;) {
      pthread_mutex_lock(&l.guard);
      ForkSafeMutex* busy = nullptr;
      for (ForkSafeMutex* m = l.head; m != nullptr; m = m->next_) {
        if (!m->mutex_.try_lock()) {
          busy = m;
          break;
        }
      }
      if (busy == nullptr) return;
      for (ForkSafeMutex* m = l.head; m != busy; m = m->next_) m->mutex_.unlock();
      pthread_mutex_unlock(&l.guard);
      sched_yield();
    }
  }

  // After fork, in parent and child: the forking thread holds everything.
  static void release() {
    ForkSafeMutexList& l = instance();
    for (ForkSafeMutex* m = l.head; m != nullptr; m = m->next_) m->mutex_.unlock();
    pthread_mutex_unlock(&l.guard);
  }
};

ForkSafeMutex::ForkSafeMutex() {
  ForkSafeMutexList& l = ForkSafeMutexList::instance();
  pthread_mutex_lock(&l.guard);
  next_ = l.head;
  if (l.head != nullptr) l.head->prev_ = this;
  l.head = this;
  pthread_mutex_unlock(&l.guard);
}

ForkSafeMutex::~ForkSafeMutex() {
  ForkSafeMutexList& l = ForkSafeMutexList::instance();
  pthread_mutex_lock(&l.guard);
  if (prev_ != nullptr) prev_->next_ = next_;
  else l.head = next_;
  if (next_ != nullptr) next_->prev_ = prev_;
  pthread_mutex_unlock(&l.guard);
}

}  // namespace zidevuv10::sync
