// Runs part of a test in a forked child process, for checks that need a
// process of their own: other credentials, or a mount namespace in which a
// small file system can be mounted without touching the machine's.
//
// The child's EXPECT/ASSERT failures are printed by the child as usual and
// fail the test through its exit status. The child may instead decide that
// the check cannot be made here (skipInChild), which skips the test.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace zidevuv10::testing {

// Call from the test body:
//   if (const auto skip = runInChild([&] { ... })) GTEST_SKIP() << *skip;
// Returns the reason the child gave for skipping, or nullopt. A child that
// fails a check, throws or dies by a signal fails the test.
std::optional<std::string> runInChild(const std::function<void()>& body);

// From inside the child: ends it, skipping the test for `reason` (failing
// it instead when a check in the child has already failed).
[[noreturn]] void skipInChild(const std::string& reason);

// From inside the child: lets its address space grow by at most `bytes`
// beyond what it maps now (RLIMIT_AS), so that larger allocations fail;
// skips the test under AddressSanitizer, whose reserved shadow memory such
// a limit cannot hold. liftMemoryLimitInChild undoes it.
void limitMemoryInChild(std::size_t bytes);
void liftMemoryLimitInChild();

}  // namespace zidevuv10::testing
