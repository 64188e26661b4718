// The per-thread object reference behind BuddyObjectGlobal: every thread
// starts with no object, keeps its own value, and the reference a thread
// holds is released when that thread ends.
#include <gtest/gtest.h>

#include <functional>
#include <latch>
#include <thread>

#include "state/thread_state.h"
#include "support/automation_checks.h"

namespace zidevuv10 {
namespace {

using testing::TrackedObject;

// Leaves the calling thread's slot empty whatever the test did.
struct ClearSlotAtEnd {
  ~ClearSlotAtEnd() { frame::buddyObjectGlobal() = nullptr; }
};

TEST(threadState, TheSlotIsTheSameReferenceOnEachCall) {
  ClearSlotAtEnd clear;
  EXPECT_EQ(&frame::buddyObjectGlobal(), &frame::buddyObjectGlobal());
  bool destroyed = false;
  frame::buddyObjectGlobal() = ObjectRef(makeObject<TrackedObject>(destroyed));
  EXPECT_TRUE(frame::buddyObjectGlobal());
  // The slot holds the object alive by itself.
  EXPECT_FALSE(destroyed);
  frame::buddyObjectGlobal() = nullptr;
  EXPECT_TRUE(destroyed);
}

TEST(threadState, ASecondThreadStartsWithNoObject) {
  ClearSlotAtEnd clear;
  bool mainDestroyed = false;
  const ObjectRef mine(makeObject<TrackedObject>(mainDestroyed));
  frame::buddyObjectGlobal() = mine;

  bool otherSawNoObject = false;
  std::thread other([&] { otherSawNoObject = !frame::buddyObjectGlobal(); });
  other.join();
  EXPECT_TRUE(otherSawNoObject);
  // The first thread's value is untouched.
  EXPECT_EQ(frame::buddyObjectGlobal(), mine);
}

TEST(threadState, EachThreadKeepsItsOwnValue) {
  ClearSlotAtEnd clear;
  bool mainDestroyed = false;
  const ObjectRef mine(makeObject<TrackedObject>(mainDestroyed));
  frame::buddyObjectGlobal() = mine;

  // Two threads store their objects at the same time and check, after both
  // stored, that each still sees its own.
  std::latch bothStored(2);
  bool firstDestroyed = false;
  bool secondDestroyed = false;
  bool firstKept = false;
  bool secondKept = false;
  const auto work = [&bothStored](bool& destroyed, bool& kept) {
    const ObjectRef own(makeObject<TrackedObject>(destroyed));
    frame::buddyObjectGlobal() = own;
    bothStored.arrive_and_wait();
    kept = frame::buddyObjectGlobal() == own;
  };
  std::thread first(work, std::ref(firstDestroyed), std::ref(firstKept));
  std::thread second(work, std::ref(secondDestroyed), std::ref(secondKept));
  first.join();
  second.join();
  EXPECT_TRUE(firstKept);
  EXPECT_TRUE(secondKept);
  EXPECT_EQ(frame::buddyObjectGlobal(), mine);
  EXPECT_FALSE(mainDestroyed);
}

TEST(threadState, AThreadsReferenceIsReleasedWhenItEnds) {
  bool destroyed = false;
  bool aliveBeforeExit = false;
  std::thread other([&] {
    frame::buddyObjectGlobal() = ObjectRef(makeObject<TrackedObject>(destroyed));
    aliveBeforeExit = !destroyed;
  });
  other.join();
  EXPECT_TRUE(aliveBeforeExit);
  EXPECT_TRUE(destroyed);
}

TEST(threadState, AnObjectSharedWithAnEndedThreadLivesOnItsOtherReferences) {
  bool destroyed = false;
  ObjectRef shared(makeObject<TrackedObject>(destroyed));
  std::thread other([&] { frame::buddyObjectGlobal() = shared; });
  other.join();
  // The ended thread gave its reference back: ours is now the only one.
  EXPECT_FALSE(destroyed);
  shared = nullptr;
  EXPECT_TRUE(destroyed);
}

}  // namespace
}  // namespace zidevuv10
