#include "support/in_child.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <fstream>

namespace zidevuv10::testing {

namespace {

constexpr int kSkipped = 77;
int reasonFd = -1;  // the child's end of the pipe for skipInChild

[[noreturn]] void endChild(int status) {
  std::fflush(nullptr);
  ::_exit(status);
}

}  // namespace

void skipInChild(const std::string& reason) {
  if (::testing::Test::HasFailure()) endChild(1);
  const ssize_t written = ::write(reasonFd, reason.data(), reason.size());
  endChild(written == static_cast<ssize_t>(reason.size()) ? kSkipped : 1);
}

void limitMemoryInChild(std::size_t bytes) {
#if defined(__SANITIZE_ADDRESS__)
  skipInChild("AddressSanitizer's shadow memory does not fit under an address space limit");
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  skipInChild("AddressSanitizer's shadow memory does not fit under an address space limit");
#endif
#endif
  std::size_t pages = 0;
  std::ifstream("/proc/self/statm") >> pages;
  ASSERT_GT(pages, 0u) << "no /proc/self/statm";
  struct rlimit limit {};
  ASSERT_EQ(::getrlimit(RLIMIT_AS, &limit), 0);
  limit.rlim_cur = pages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)) + bytes;
  ASSERT_EQ(::setrlimit(RLIMIT_AS, &limit), 0);
}

void liftMemoryLimitInChild() {
  struct rlimit limit {};
  ASSERT_EQ(::getrlimit(RLIMIT_AS, &limit), 0);
  limit.rlim_cur = limit.rlim_max;
  ASSERT_EQ(::setrlimit(RLIMIT_AS, &limit), 0);
}

std::optional<std::string> runInChild(const std::function<void()>& body) {
  int fds[2];
  if (::pipe(fds) != 0) {
    ADD_FAILURE() << "pipe failed";
    return std::nullopt;
  }
  // Nothing buffered before the fork may be printed twice.
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    reasonFd = fds[1];
    try {
      body();
    } catch (const std::exception& e) {
      ADD_FAILURE() << "the child threw: " << e.what();
    } catch (...) {
      ADD_FAILURE() << "the child threw";
    }
    endChild(::testing::Test::HasFailure() ? 1 : 0);
  }
  ::close(fds[1]);
  if (pid < 0) {
    ::close(fds[0]);
    ADD_FAILURE() << "fork failed";
    return std::nullopt;
  }
  std::string reason;
  char buf[256];
  for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) {
    reason.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fds[0]);
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) {
    ADD_FAILURE() << "waitpid failed";
    return std::nullopt;
  }
  if (WIFSIGNALED(status)) {
    ADD_FAILURE() << "the child died of signal " << WTERMSIG(status);
  } else if (WEXITSTATUS(status) == kSkipped) {
    return reason;
  } else if (WEXITSTATUS(status) != 0) {
    ADD_FAILURE() << "a check in the child failed (its output is above)";
  }
  return std::nullopt;
}

}  // namespace zidevuv10::testing
