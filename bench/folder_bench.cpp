// Times what a folder's size and its other writers cost the store: a write,
// a read and a read of a missing file in a folder of 100,000 files against
// the same in an empty folder, and four threads writing each their own file
// of one folder against one thread. Each iteration runs both sides, one
// right after the other, and the case reports their ratio, so that load and
// sync latency drifting during the run skew both alike.
//
// Case names are Group/what:
//   Folder/write|read|read_missing   timed in the big folder; counters
//                                    empty_us (the same in the empty folder)
//                                    and x_empty (big over empty)
//   Floor/list_folder                listing the big folder once: what every
//                                    write and missing read paid before the
//                                    store kept listings and swept leftovers
//                                    less often
//   Writers/four_files_one_folder    4 threads, 40 values each into their own
//                                    file; counters one_ms (one thread, 40
//                                    values into one file) and x_one
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "corpus.h"
#include "store/profile_store.h"

namespace {

using zidevuv10::bench::fail;
using zidevuv10::bench::Workspace;
using zidevuv10::bench::writeFile;
using zidevuv10::store::ProfileStore;
using Clock = std::chrono::steady_clock;

constexpr int kBigFolderFiles = 100'000;
constexpr int kWriters = 4;
constexpr int kValuesPerWriter = 40;

double since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// A small settings file: 10 sections of 10 keys.
std::string settingsText() {
  std::string text;
  char line[64];
  for (int s = 0; s < 10; ++s) {
    std::snprintf(line, sizeof line, "[section_%02d]\n", s);
    text += line;
    for (int k = 0; k < 10; ++k) {
      std::snprintf(line, sizeof line, "key_%02d=value_%02d_%02d\n", k, s, k);
      text += line;
    }
  }
  return text;
}

struct Folders {
  std::string empty;    // holds only the settings file
  std::string big;      // the settings file among 100,000 others
  std::string writers;  // one file per writer thread
};

Folders& folders() {
  static Folders f;
  return f;
}

ProfileStore& store() {
  static ProfileStore s;
  return s;
}

std::string settingsIn(const std::string& folder) { return folder + "/settings.ini"; }
std::string missingIn(const std::string& folder) { return folder + "/Missing.ini"; }

// One operation in a folder, as the cases time it.
using Operation = bool (*)(const std::string& folder, uint64_t n);

bool writeOne(const std::string& folder, uint64_t n) {
  const std::string value = "v" + std::to_string(n);
  return store().writeString("section_03", "key_04", value, settingsIn(folder)) == 1;
}

bool readOne(const std::string& folder, uint64_t n) {
  std::array<char, 64> buffer{};
  char key[16];
  std::snprintf(key, sizeof key, "key_%02d", static_cast<int>(n % 10));
  return store().getString("section_05", key, "", buffer, settingsIn(folder)) > 0;
}

bool readMissing(const std::string& folder, uint64_t) {
  std::array<char, 64> buffer{};
  return store().getString("section_05", "key_01", "none", buffer, missingIn(folder)) == 4;
}

// Runs the operation in the big folder (the case's time) and in the empty
// one, each iteration; the first of each is a warm-up, untimed: a folder's
// first access may list it once.
void inBigAndEmpty(benchmark::State& state, Operation op) {
  const Folders& f = folders();
  if (!op(f.big, 0) || !op(f.empty, 0)) state.SkipWithError("warm-up failed");
  double big = 0;
  double empty = 0;
  uint64_t n = 0;
  for (auto _ : state) {
    ++n;
    // Which side goes first alternates, so that neither always meets the
    // caches as the other left them.
    double secondsEmpty = 0;
    bool okEmpty = true;
    auto runEmpty = [&] {
      const auto start = Clock::now();
      okEmpty = op(f.empty, n);
      secondsEmpty = since(start);
    };
    if (n % 2 == 0) runEmpty();
    const auto start = Clock::now();
    const bool okBig = op(f.big, n);
    const double seconds = since(start);
    if (n % 2 == 1) runEmpty();
    state.SetIterationTime(seconds);
    big += seconds;
    empty += secondsEmpty;
    if (!okBig || !okEmpty) state.SkipWithError("operation failed");
  }
  if (state.iterations() > 0 && empty > 0) {
    state.counters["empty_us"] = empty * 1e6 / static_cast<double>(state.iterations());
    state.counters["x_empty"] = big / empty;
  }
  state.SetLabel("<= 1.2x the same in an empty folder");
}

void folderWrite(benchmark::State& state) { inBigAndEmpty(state, writeOne); }
void folderRead(benchmark::State& state) { inBigAndEmpty(state, readOne); }
void folderReadMissing(benchmark::State& state) { inBigAndEmpty(state, readMissing); }

void floorListFolder(benchmark::State& state) {
  for (auto _ : state) {
    DIR* dir = ::opendir(folders().big.c_str());
    if (dir == nullptr) fail("opendir");
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(dir)) names.emplace_back(e->d_name);
    ::closedir(dir);
    benchmark::DoNotOptimize(names.data());
  }
  state.SetLabel("floor");
}

// `threads` writers, each writing kValuesPerWriter values into its own file.
bool writeRound(int threads, uint64_t round) {
  std::vector<std::thread> running;
  std::vector<char> ok(static_cast<std::size_t>(threads), 0);
  for (int t = 0; t < threads; ++t) {
    running.emplace_back([t, round, &ok] {
      const std::string file = folders().writers + "/writer_" + std::to_string(t) + ".ini";
      bool all = true;
      for (int k = 0; k < kValuesPerWriter; ++k) {
        const std::string key = "key_" + std::to_string(k);
        const std::string value = "round_" + std::to_string(round);
        all = store().writeString("values", key, value, file) == 1 && all;
      }
      ok[static_cast<std::size_t>(t)] = all ? 1 : 0;
    });
  }
  for (auto& th : running) th.join();
  for (const char c : ok) {
    if (!c) return false;
  }
  return true;
}

// The same rounds as the file system alone does them: each of `threads`
// threads replaces its own file kValuesPerWriter times (write, fsync,
// rename: what each of our writes does to the disk).
// Whether concurrent syncs overlap is the disk's; this shows it.
bool floorRound(int threads) {
  static const std::string text = settingsText();
  std::vector<std::thread> running;
  std::vector<char> ok(static_cast<std::size_t>(threads), 0);
  for (int t = 0; t < threads; ++t) {
    running.emplace_back([t, &ok] {
      const std::string file = folders().writers + "/floor_" + std::to_string(t) + ".ini";
      const std::string temp = file + ".tmp";
      bool all = true;
      for (int k = 0; k < kValuesPerWriter && all; ++k) {
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        all = fd >= 0 && ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
        all = fd >= 0 && ::fsync(fd) == 0 && all;
        if (fd >= 0) ::close(fd);
        all = all && ::rename(temp.c_str(), file.c_str()) == 0;
      }
      ok[static_cast<std::size_t>(t)] = all ? 1 : 0;
    });
  }
  for (auto& th : running) th.join();
  for (const char c : ok) {
    if (!c) return false;
  }
  return true;
}

void writersFourFiles(benchmark::State& state) {
  uint64_t round = 0;
  if (!writeRound(kWriters, ++round)) state.SkipWithError("warm-up failed");
  double four = 0;
  double one = 0;
  double floorFour = 0;
  double floorOne = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    const bool okFour = writeRound(kWriters, ++round);
    const double seconds = since(start);
    state.SetIterationTime(seconds);
    four += seconds;
    start = Clock::now();
    const bool okOne = writeRound(1, ++round);
    one += since(start);
    start = Clock::now();
    const bool okFloorFour = floorRound(kWriters);
    floorFour += since(start);
    start = Clock::now();
    const bool okFloorOne = floorRound(1);
    floorOne += since(start);
    if (!okFour || !okOne || !okFloorFour || !okFloorOne) state.SkipWithError("write failed");
  }
  if (state.iterations() > 0 && one > 0 && floorOne > 0) {
    state.counters["one_ms"] = one * 1e3 / static_cast<double>(state.iterations());
    state.counters["x_one"] = four / one;
    state.counters["floor_x_one"] = floorFour / floorOne;
  }
  state.SetLabel("<= 1.5x one thread writing 40 values");
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

  static Workspace workspace("folder_bench");
  Folders& f = folders();
  f.empty = workspace.dir() + "/empty";
  f.big = workspace.dir() + "/big";
  f.writers = workspace.dir() + "/writers";
  for (const auto* d : {&f.empty, &f.big, &f.writers}) {
    if (::mkdir(d->c_str(), 0755) != 0) fail("mkdir " + *d);
  }
  const std::string text = settingsText();
  writeFile(settingsIn(f.empty), text);
  writeFile(settingsIn(f.big), text);
  char name[32];
  for (int i = 0; i < kBigFolderFiles; ++i) {
    std::snprintf(name, sizeof name, "/entry_%06d.dat", i);
    const int fd = ::open((f.big + name).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0) fail("create entry");
    ::close(fd);
  }
  // Let the folders age past the coarsest timestamp granularity the store
  // assumes, as a folder that has been there a while has.
  std::this_thread::sleep_for(std::chrono::milliseconds(2200));

  // Reads first: the write case changes the folders, and a listing taken
  // within a timestamp tick of a change is not kept.
  using Case = void (*)(benchmark::State&);
  const std::array<std::pair<const char*, Case>, 3> folderCases{{
      {"Folder/read_missing", folderReadMissing},
      {"Folder/read", folderRead},
      {"Folder/write", folderWrite},
  }};
  for (const auto& [label, fn] : folderCases) {
    auto* b = benchmark::RegisterBenchmark(label, fn);
    b->UseManualTime()->Repetitions(3)->DisplayAggregatesOnly(true)->Unit(benchmark::kMicrosecond);
    b->MinTime(std::string_view(label) == "Folder/write" ? 1.0 : 0.2);
  }
  benchmark::RegisterBenchmark("Floor/list_folder", floorListFolder)
      ->MinTime(0.2)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("Writers/four_files_one_folder", writersFourFiles)
      ->UseManualTime()
      ->MinTime(2.0)
      ->Unit(benchmark::kMillisecond);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
