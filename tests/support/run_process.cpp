#include "support/run_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace zidevuv10::testing {

namespace {

// A pipe whose two ends close themselves, also in the child after exec.
struct Pipe {
  int fd[2] = {-1, -1};
  Pipe() {
    if (::pipe2(fd, O_CLOEXEC) != 0) throw std::runtime_error("pipe2 failed");
  }
  ~Pipe() {
    closeEnd(0);
    closeEnd(1);
  }
  Pipe(const Pipe&) = delete;
  Pipe& operator=(const Pipe&) = delete;
  void closeEnd(int i) {
    if (fd[i] >= 0) ::close(fd[i]);
    fd[i] = -1;
  }
};

struct SpawnSetup {
  posix_spawn_file_actions_t actions{};
  posix_spawnattr_t attributes{};
  SpawnSetup() {
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;
};

}  // namespace

ProcessResult runProcess(const std::vector<std::string>& argv, std::string_view input) {
  if (argv.empty()) throw std::runtime_error("runProcess: no program");
  Pipe in;
  Pipe out;
  Pipe err;
  SpawnSetup setup;
  posix_spawn_file_actions_adddup2(&setup.actions, in.fd[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&setup.actions, out.fd[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&setup.actions, err.fd[1], STDERR_FILENO);
  // The child gets the default SIGPIPE, whatever this process does with it.
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigdefault(&setup.attributes, &defaults);
  posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETSIGDEF);

  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  const int rc = ::posix_spawn(&pid, argv[0].c_str(), &setup.actions, &setup.attributes,
                               args.data(), environ);
  if (rc != 0) throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(rc));
  in.closeEnd(0);
  out.closeEnd(1);
  err.closeEnd(1);

  // Feed the input and drain both outputs together, so that no pipe fills
  // up while the child waits for another one.
  ProcessResult result;
  std::size_t written = 0;
  if (input.empty()) {
    in.closeEnd(1);
  } else {
    ::fcntl(in.fd[1], F_SETFL, O_NONBLOCK);  // write only what fits; never block on a full pipe
  }
  while (out.fd[0] >= 0 || err.fd[0] >= 0 || in.fd[1] >= 0) {
    pollfd fds[3] = {{in.fd[1], POLLOUT, 0}, {out.fd[0], POLLIN, 0}, {err.fd[0], POLLIN, 0}};
    if (::poll(fds, 3, -1) < 0) {
      if (errno == EINTR) continue;
      throw std::runtime_error("poll failed");
    }
    if (fds[0].revents != 0) {
      // A child that ends without reading all its input must not take this
      // process down with SIGPIPE: blocked around the write, it leaves EPIPE.
      sigset_t pipeSignal;
      sigset_t old;
      sigemptyset(&pipeSignal);
      sigaddset(&pipeSignal, SIGPIPE);
      pthread_sigmask(SIG_BLOCK, &pipeSignal, &old);
      const ssize_t n = ::write(in.fd[1], input.data() + written, input.size() - written);
      const int error = errno;
      if (n < 0 && error == EPIPE) {
        // Take the pending SIGPIPE before unblocking it.
        const timespec zero{0, 0};
        sigtimedwait(&pipeSignal, nullptr, &zero);
      }
      pthread_sigmask(SIG_SETMASK, &old, nullptr);
      if (n > 0) written += static_cast<std::size_t>(n);
      if ((n < 0 && error != EINTR && error != EAGAIN) || written == input.size()) in.closeEnd(1);
    }
    for (int i = 1; i < 3; ++i) {
      if (fds[i].revents == 0) continue;
      Pipe& pipe = i == 1 ? out : err;
      std::string& text = i == 1 ? result.out : result.err;
      char buffer[65536];
      const ssize_t n = ::read(pipe.fd[0], buffer, sizeof buffer);
      if (n > 0) {
        text.append(buffer, static_cast<std::size_t>(n));
      } else if (n == 0 || errno != EINTR) {
        pipe.closeEnd(0);
      }
    }
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) throw std::runtime_error("waitpid failed");
  }
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

}  // namespace zidevuv10::testing
