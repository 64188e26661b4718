#include "support/in_child.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <exception>

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
