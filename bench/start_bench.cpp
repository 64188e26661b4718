// start_bench: what processes cost that start, make one lookup and end,
// each held against a peer or floor spawned beside it (bench/README.md).
//
//   PlainCRead, OneLookupProcess, OneLookupWholeLibrary
//       whole C processes: stdio reading the file, one lookup through
//       zidevuv10-profile.so, one lookup through zidevuv10.so
//   FreshFirstLookup/<library>/<shape>
//       a process's first GetPrivateProfileStringA, timed inside the child,
//       against inih's parse of the same file as its process's first call,
//       and the one-time set-up of that first call
//   CppStart/one_lookup
//       a whole C++ process linking zidevuv10.so and making one lookup,
//       against a plain C++ process reading the same file
//
// Every program is spawned and waited for. Files stay in the page cache
// (they are read over and over): what is measured is the process and the
// library, not the disk. On a shared, loaded machine the wall time of a
// whole process mostly measures waiting for a core; the child's own user +
// system time (from wait4) is the steadier figure.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "corpus.h"

extern char** environ;

namespace {

using zidevuv10::bench::fail;
using zidevuv10::bench::GeneratedFile;
using zidevuv10::bench::kShapes;

// One generated shape, written twice: FILE_A is read first, FILE_B (the
// same bytes, another file) second.
struct Target {
  GeneratedFile gen;
  std::string fileA;
  std::string fileB;
  std::string section;  // an existing key of the file
  std::string key;
};

std::vector<Target>& targets() {
  static std::vector<Target> all;
  return all;
}

struct Child {
  int status = 0;
  double wallUs = 0;
  double cpuUs = 0;  // the child's user + system time
  std::string out;   // what it printed
};

// Spawns `argv` with its output in a pipe and waits for it.
Child run(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) fail("pipe");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
  Child c;
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
    fail("spawn " + args[0]);
  }
  ::close(pipeFds[1]);
  char buffer[256];
  for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;) {
    c.out.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(pipeFds[0]);
  rusage usage{};
  wait4(pid, &c.status, 0, &usage);
  c.wallUs = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
  posix_spawn_file_actions_destroy(&actions);
  c.cpuUs = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e6 +
            static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
  return c;
}

bool ok(const Child& c) { return WIFEXITED(c.status) && WEXITSTATUS(c.status) == 0; }

double median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// ---- whole C processes ------------------------------------------------------

void runOnce(benchmark::State& state, const char* program) {
  const Target& t = targets().front();
  std::vector<double> cpu;
  for (auto _ : state) {
    const Child c = run({program, t.fileA, t.section, t.key});
    if (!ok(c)) {
      state.SkipWithError("the program failed");
      break;
    }
    cpu.push_back(c.cpuUs);
  }
  state.counters["child_cpu_us"] = median(cpu);
}

void PlainCRead(benchmark::State& state) { runOnce(state, ZIDEVUV10_PLAIN_READ); }
void OneLookupProcess(benchmark::State& state) { runOnce(state, ZIDEVUV10_ONE_LOOKUP); }
void OneLookupWholeLibrary(benchmark::State& state) { runOnce(state, ZIDEVUV10_ONE_LOOKUP_WHOLE); }

// ---- a process's first lookup -------------------------------------------------
// Each iteration spawns our child and inih's, in alternating order, so that
// load changing during the run skews both alike. The time is our first
// call (wall); the counters are medians over the iterations, in
// microseconds of wall time and, with _cpu, of the child's CPU time (which
// waiting for a core on a busy machine does not inflate):
//   first           our first call (file A), as the process's first call
//   inih            inih's parse of the same file, as its process's first call
//   x_inih          first / inih                          (target: at most 0.5)
//   second_file     our first call on file B, after file A
//   setup           median of (A - B) per process: what the first call of a
//                   process sets up once                  (target: at most 30)

struct Samples {
  std::vector<double> values;
  void add(long long ns) { values.push_back(static_cast<double>(ns) / 1e3); }
  double median() const { return ::median(values); }
};

void freshFirstLookup(benchmark::State& state, const char* program, std::size_t shape) {
  const Target& t = targets()[shape];
  Samples first;
  Samples firstCpu;
  Samples second;
  Samples secondCpu;
  Samples setup;
  Samples setupCpu;
  Samples inih;
  Samples inihCpu;
  bool inihFirst = false;
  for (auto _ : state) {
    Child ours;
    Child peer;
    if (inihFirst) peer = run({ZIDEVUV10_FIRST_INIH, t.fileA, t.section, t.key});
    ours = run({program, t.fileA, t.fileB, t.section, t.key});
    if (!inihFirst) peer = run({ZIDEVUV10_FIRST_INIH, t.fileA, t.section, t.key});
    inihFirst = !inihFirst;
    long long a = 0;
    long long aCpu = 0;
    long long b = 0;
    long long bCpu = 0;
    long long p = 0;
    long long pCpu = 0;
    if (!ok(ours) ||
        std::sscanf(ours.out.c_str(), "%lld %lld %lld %lld", &a, &aCpu, &b, &bCpu) != 4 ||
        !ok(peer) || std::sscanf(peer.out.c_str(), "%lld %lld", &p, &pCpu) != 2) {
      state.SkipWithError("a child failed");
      break;
    }
    state.SetIterationTime(static_cast<double>(a) / 1e9);
    first.add(a);
    firstCpu.add(aCpu);
    second.add(b);
    secondCpu.add(bCpu);
    setup.add(a - b);
    setupCpu.add(aCpu - bCpu);
    inih.add(p);
    inihCpu.add(pCpu);
  }
  state.counters["file_bytes"] = static_cast<double>(t.gen.text.size());
  state.counters["first_us"] = first.median();
  state.counters["first_cpu_us"] = firstCpu.median();
  state.counters["inih_us"] = inih.median();
  state.counters["inih_cpu_us"] = inihCpu.median();
  state.counters["x_inih"] = first.median() / inih.median();
  state.counters["x_inih_cpu"] = firstCpu.median() / inihCpu.median();
  state.counters["second_file_us"] = second.median();
  state.counters["second_file_cpu_us"] = secondCpu.median();
  state.counters["setup_us"] = setup.median();
  state.counters["setup_cpu_us"] = setupCpu.median();
  state.SetLabel("x_inih <= 0.5, setup_us <= 30");
}

// ---- C++ start-up -------------------------------------------------------------
// A whole C++ process linking zidevuv10.so that makes one lookup, against a
// plain C++ process reading the same file, in alternating order. The time
// is ours (wall); counters are medians: wall_us, plain_wall_us, x_plain
// (wall over wall), cpu_us, plain_cpu_us, x_plain_cpu (target: at most 1.3).

void cppStart(benchmark::State& state) {
  const Target& t = targets().front();
  std::vector<double> wall;
  std::vector<double> cpu;
  std::vector<double> plainWall;
  std::vector<double> plainCpu;
  bool plainFirst = false;
  for (auto _ : state) {
    Child ours;
    Child plain;
    if (plainFirst) plain = run({ZIDEVUV10_PLAIN_READ_CPP, t.fileA, t.section, t.key});
    ours = run({ZIDEVUV10_ONE_LOOKUP_CPP, t.fileA, t.section, t.key});
    if (!plainFirst) plain = run({ZIDEVUV10_PLAIN_READ_CPP, t.fileA, t.section, t.key});
    plainFirst = !plainFirst;
    if (!ok(ours) || !ok(plain) || ours.out != plain.out) {
      state.SkipWithError("a child failed, or the two answered differently");
      break;
    }
    state.SetIterationTime(ours.wallUs / 1e6);
    wall.push_back(ours.wallUs);
    cpu.push_back(ours.cpuUs);
    plainWall.push_back(plain.wallUs);
    plainCpu.push_back(plain.cpuUs);
  }
  state.counters["wall_us"] = median(wall);
  state.counters["plain_wall_us"] = median(plainWall);
  state.counters["x_plain"] = median(wall) / median(plainWall);
  state.counters["cpu_us"] = median(cpu);
  state.counters["plain_cpu_us"] = median(plainCpu);
  state.counters["x_plain_cpu"] = median(cpu) / median(plainCpu);
  state.SetLabel("x_plain <= 1.3");
}

void makeFiles() {
  // The generated files' folder, removed at exit.
  static const zidevuv10::bench::Workspace workspace("start_bench");
  const std::string& dir = workspace.dir();
  uint64_t seed = 0x5eed0001;  // store_bench's files
  for (const auto& shape : kShapes) {
    Target t;
    t.gen = zidevuv10::bench::generate(shape, seed++);
    t.fileA = dir + "/" + shape.name + "_a.ini";
    t.fileB = dir + "/" + shape.name + "_b.ini";
    for (const auto* path : {&t.fileA, &t.fileB}) {
      zidevuv10::bench::writeFile(*path, t.gen.text);
      zidevuv10::bench::ageFile(*path);
    }
    const auto& probe = t.gen.probes.front();
    t.section = t.gen.sections[probe.section];
    t.key = t.gen.keys[probe.section][probe.key];
    targets().push_back(std::move(t));
  }
  // The change time cannot be set back: let the files age past the
  // coarsest timestamp granularity the store assumes, as they would be in
  // a deployment, before anything reads them.
  std::this_thread::sleep_for(std::chrono::milliseconds(2200));
}

void registerAll() {
  for (auto* b : {benchmark::RegisterBenchmark("PlainCRead", PlainCRead),
                  benchmark::RegisterBenchmark("OneLookupProcess", OneLookupProcess),
                  benchmark::RegisterBenchmark("OneLookupWholeLibrary", OneLookupWholeLibrary)}) {
    b->UseRealTime()->Unit(benchmark::kMicrosecond)->MinTime(1.0);
  }
  // Fewer rounds for the big file: each of its processes takes tens of
  // milliseconds.
  constexpr int kRounds[] = {61, 41, 21};
  const std::pair<const char*, const char*> libraries[] = {{"whole", ZIDEVUV10_FIRST_LOOKUP_WHOLE},
                                                           {"profile", ZIDEVUV10_FIRST_LOOKUP}};
  for (std::size_t s = 0; s < kShapes.size(); ++s) {
    for (const auto& [name, program] : libraries) {
      benchmark::RegisterBenchmark(
          (std::string("FreshFirstLookup/") + name + "/" + kShapes[s].name).c_str(),
          [program = program, s](benchmark::State& st) { freshFirstLookup(st, program, s); })
          ->UseManualTime()
          ->Iterations(kRounds[s])
          ->Unit(benchmark::kMicrosecond);
    }
  }
  benchmark::RegisterBenchmark("CppStart/one_lookup", cppStart)
      ->UseManualTime()
      ->Iterations(81)
      ->Unit(benchmark::kMicrosecond);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  makeFiles();
  registerAll();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
