// start_bench: what a whole process costs that starts, makes one lookup
// and ends, against a plain C program that reads the same file with stdio:
// through zidevuv10-profile.so (OneLookupProcess) and through the whole
// zidevuv10.so (OneLookupWholeLibrary).
// Each iteration spawns the program and waits for it, so loading, start-up,
// the lookup and exit are all in the time. On a shared, loaded machine the
// wall time mostly measures waiting for a core; the counter child_cpu_us
// (the child's own user + system time, from wait4) is the steadier figure.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

extern char** environ;

namespace {

// The 10x10 shape of store_bench, written once into a fresh folder.
const std::string& iniFile() {
  static const std::string path = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string dir = std::string(tmp && *tmp ? tmp : "/tmp") + "/start_bench.XXXXXX";
    if (mkdtemp(dir.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    const std::string file = dir + "/start.ini";
    std::ofstream out(file);
    for (int s = 0; s < 10; ++s) {
      out << "[Section" << s << "]\n";
      for (int k = 0; k < 10; ++k) out << "key" << k << "=value " << s << '.' << k << '\n';
    }
    std::atexit([] { std::filesystem::remove_all(std::filesystem::path(iniFile()).parent_path()); });
    return file;
  }();
  return path;
}

void runOnce(benchmark::State& state, const char* program) {
  std::string file = iniFile();
  std::string section = "Section7";
  std::string key = "key3";
  char* argv[] = {const_cast<char*>(program), file.data(), section.data(), key.data(), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  double childSeconds = 0;
  for (auto _ : state) {
    pid_t pid = 0;
    if (posix_spawn(&pid, program, &actions, nullptr, argv, environ) != 0) {
      state.SkipWithError("cannot start the program");
      break;
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    childSeconds += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                    static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("the program failed");
      break;
    }
  }
  posix_spawn_file_actions_destroy(&actions);
  if (state.iterations() > 0) {
    state.counters["child_cpu_us"] = childSeconds * 1e6 / static_cast<double>(state.iterations());
  }
}

void PlainCRead(benchmark::State& state) { runOnce(state, ZIDEVUV10_PLAIN_READ); }
void OneLookupProcess(benchmark::State& state) { runOnce(state, ZIDEVUV10_ONE_LOOKUP); }
void OneLookupWholeLibrary(benchmark::State& state) { runOnce(state, ZIDEVUV10_ONE_LOOKUP_WHOLE); }

}  // namespace

BENCHMARK(PlainCRead)->UseRealTime()->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(OneLookupProcess)->UseRealTime()->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(OneLookupWholeLibrary)->UseRealTime()->Unit(benchmark::kMicrosecond)->MinTime(2.0);

BENCHMARK_MAIN();
