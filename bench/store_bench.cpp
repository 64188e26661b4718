// Times the profile store against two other INI readers and against what the
// file system itself costs, on generated files of three sizes. Every case
// runs in one process so that ratios between cases are taken on the same
// machine state; bench/ratios.py turns the JSON output into those ratios.
//
// Case names are Group/who/shape, shape being "sections x keys":
//   FirstLookup/*        one lookup in a file the reader has not seen yet
//   Lookup/*             one lookup of a random existing key, file unchanged
//   List/*               section names, and all entries of one section
//   Write/*              one key written and on disk before the next call
//   Floor/*              stat(), copying a listing's bytes, and
//                        write + fsync + rename of the whole file
//   Memory/*             parsing a file, indexing and listing every section,
//                        with the memory the parsed file takes per byte of
//                        the file as counters (also for header-only files)
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <ini.h>
#include <malloc.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <SimpleIni.h>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_set>
#include <vector>

#include "corpus.h"
#include "store/document.h"
#include "store/profile_store.h"

namespace {

using zidevuv10::store::ProfileStore;

using zidevuv10::bench::ageFile;
using zidevuv10::bench::fail;
using zidevuv10::bench::GeneratedFile;
using zidevuv10::bench::kShapes;
using zidevuv10::bench::Probe;
using zidevuv10::bench::Shape;
using zidevuv10::bench::Workspace;
using zidevuv10::bench::writeFile;

// Minimum measuring time per case; fsync-bound cases get more, since each
// iteration takes milliseconds and their spread is wider.
constexpr double kQuickTime = 0.1;
constexpr double kParseTime = 0.2;
constexpr double kWriteTime = 0.5;

// A generated file and the copies of it the cases read and write.
struct Corpus : GeneratedFile {
  std::string readPath;          // read by every reader, never changed
  std::string oursWritePath;     // written by the store
  std::string oursLinkedPath;    // written by the store, with a second hard link
  std::string simpleWritePath;   // written by SimpleIni
  std::string floorWritePath;    // rewritten whole by the floor case
};

std::vector<Corpus>& corpora() {
  static std::vector<Corpus> all;
  return all;
}

// One store per role, so that dropping the cache for first lookups leaves
// the warm store of the other cases alone.
ProfileStore& coldStore() {
  static ProfileStore store;
  return store;
}
ProfileStore& warmStore() {
  static ProfileStore store;
  return store;
}
ProfileStore& writeStore() {
  static ProfileStore store;
  return store;
}

// The counters every case reports, and a label naming what the case is
// held against (bench/ratios.py computes the ratios).
void describe(benchmark::State& state, const Corpus& c, const char* label) {
  state.counters["file_bytes"] = static_cast<double>(c.text.size());
  state.SetLabel(label);
}

std::string_view keyOf(const Corpus& c, const Probe& p) { return c.keys[p.section][p.key]; }

// ---- peers ---------------------------------------------------------------

struct InihQuery {
  const char* section;
  const char* key;
  std::string value;
  bool found = false;
};

int inihHandler(void* user, const char* section, const char* name, const char* value) {
  auto* q = static_cast<InihQuery*>(user);
  if (!q->found && ::strcasecmp(section, q->section) == 0 && ::strcasecmp(name, q->key) == 0) {
    q->value = value;
    q->found = true;
  }
  return 1;
}

bool inihLookup(const Corpus& c, const Probe& p, std::string& out) {
  const std::string key(keyOf(c, p));
  InihQuery q{c.sections[p.section].c_str(), key.c_str(), {}, false};
  if (ini_parse(c.readPath.c_str(), inihHandler, &q) != 0) return false;
  out = std::move(q.value);
  return q.found;
}

// ---- first lookup ----------------------------------------------------------
// Timed by hand so that only the load and the lookup count: neither the
// store's dropCache() (which frees the last parse) nor the peer object's
// destruction is part of the figure.

using Clock = std::chrono::steady_clock;

double since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void firstLookupOurs(benchmark::State& state, const Corpus* c) {
  ProfileStore& store = coldStore();
  std::array<char, 256> buffer{};
  std::size_t i = 0;
  for (auto _ : state) {
    const Probe& p = c->probes[i++ % c->probes.size()];
    store.dropCache();
    const auto start = Clock::now();
    const uint32_t n = store.getString(c->sections[p.section], keyOf(*c, p), "", buffer, c->readPath);
    state.SetIterationTime(since(start));
    if (n == 0) state.SkipWithError("key not found");
    benchmark::DoNotOptimize(buffer.data());
  }
  describe(state, *c, "<= 0.5x FirstLookup/inih");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(c->text.size()));
}

void firstLookupInih(benchmark::State& state, const Corpus* c) {
  std::string value;
  std::size_t i = 0;
  for (auto _ : state) {
    const Probe& p = c->probes[i++ % c->probes.size()];
    const auto start = Clock::now();
    const bool found = inihLookup(*c, p, value);
    state.SetIterationTime(since(start));
    if (!found) state.SkipWithError("key not found");
  }
  describe(state, *c, "peer");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(c->text.size()));
}

void firstLookupSimpleIni(benchmark::State& state, const Corpus* c) {
  std::size_t i = 0;
  for (auto _ : state) {
    const Probe& p = c->probes[i++ % c->probes.size()];
    auto ini = std::make_unique<CSimpleIniA>();
    const std::string key(keyOf(*c, p));
    const auto start = Clock::now();
    const bool loaded = ini->LoadFile(c->readPath.c_str()) == SI_OK;
    const char* v = ini->GetValue(c->sections[p.section].c_str(), key.c_str(), nullptr);
    state.SetIterationTime(since(start));
    if (!loaded || v == nullptr) state.SkipWithError("key not found");
    benchmark::DoNotOptimize(v);
  }
  describe(state, *c, "peer");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(c->text.size()));
}

// ---- lookup in an unchanged file --------------------------------------------

void lookupOurs(benchmark::State& state, const Corpus* c) {
  ProfileStore& store = warmStore();
  std::array<char, 256> buffer{};
  // Every section's key index is built once before timing.
  for (std::size_t s = 0; s < c->sections.size(); ++s) {
    store.getString(c->sections[s], c->keys[s][0], "", buffer, c->readPath);
  }
  std::size_t i = 0;
  for (auto _ : state) {
    const Probe& p = c->probes[i++ % c->probes.size()];
    const uint32_t n = store.getString(c->sections[p.section], keyOf(*c, p), "", buffer, c->readPath);
    if (n == 0) state.SkipWithError("key not found");
    benchmark::DoNotOptimize(buffer.data());
  }
  describe(state, *c, "<= 3x Floor/stat, same for all sizes");
}

void lookupInihParse(benchmark::State& state, const Corpus* c) {
  std::string value;
  std::size_t i = 0;
  for (auto _ : state) {
    if (!inihLookup(*c, c->probes[i++ % c->probes.size()], value)) state.SkipWithError("key not found");
  }
  describe(state, *c, "peer");
}

void lookupSimpleIniParse(benchmark::State& state, const Corpus* c) {
  std::size_t i = 0;
  for (auto _ : state) {
    const Probe& p = c->probes[i++ % c->probes.size()];
    const std::string key(keyOf(*c, p));
    CSimpleIniA ini;
    const bool loaded = ini.LoadFile(c->readPath.c_str()) == SI_OK;
    const char* v = ini.GetValue(c->sections[p.section].c_str(), key.c_str(), nullptr);
    if (!loaded || v == nullptr) state.SkipWithError("key not found");
    benchmark::DoNotOptimize(v);
  }
  describe(state, *c, "peer");
}

void lookupSimpleIniLoaded(benchmark::State& state, const Corpus* c) {
  CSimpleIniA ini;
  if (ini.LoadFile(c->readPath.c_str()) != SI_OK) state.SkipWithError("load failed");
  // Keys as C strings made before timing, as a caller holding them would.
  std::vector<std::string> keys;
  for (const auto& p : c->probes) keys.emplace_back(keyOf(*c, p));
  std::size_t i = 0;
  for (auto _ : state) {
    const std::size_t j = i++ % c->probes.size();
    const char* v = ini.GetValue(c->sections[c->probes[j].section].c_str(), keys[j].c_str(), nullptr);
    if (v == nullptr) state.SkipWithError("key not found");
    benchmark::DoNotOptimize(v);
  }
  describe(state, *c, "peer, in-memory bound");
}

// ---- listings ---------------------------------------------------------------

void listSectionNamesOurs(benchmark::State& state, const Corpus* c) {
  ProfileStore& store = warmStore();
  std::vector<char> buffer(c->sectionNamesBytes() + 64);
  store.getSectionNames(buffer, c->readPath);
  for (auto _ : state) {
    const uint32_t n = store.getSectionNames(buffer, c->readPath);
    if (n + 1 != c->sectionNamesBytes()) state.SkipWithError("unexpected listing size");
    benchmark::DoNotOptimize(buffer.data());
  }
  describe(state, *c, "<= 3x Floor/stat + Floor/copy_section_names");
  state.counters["result_bytes"] = static_cast<double>(c->sectionNamesBytes());
}

void listSectionOurs(benchmark::State& state, const Corpus* c) {
  ProfileStore& store = warmStore();
  std::size_t largest = 0;
  for (std::size_t s = 0; s < c->sections.size(); ++s) largest = std::max(largest, c->sectionBytes(s));
  std::vector<char> buffer(largest + 64);
  std::size_t total = 0;
  std::size_t i = 0;
  for (auto _ : state) {
    const std::size_t s = c->probes[i++ % c->probes.size()].section;
    const uint32_t n = store.getSection(c->sections[s], buffer, c->readPath);
    if (n + 1 != c->sectionBytes(s)) state.SkipWithError("unexpected listing size");
    total += n + 1;
    benchmark::DoNotOptimize(buffer.data());
  }
  describe(state, *c, "<= 3x Floor/stat + Floor/copy_section");
  state.counters["result_bytes"] =
      static_cast<double>(total) / static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
}

// ---- floors -----------------------------------------------------------------

void floorStat(benchmark::State& state, const Corpus* c) {
  struct stat st {};
  for (auto _ : state) {
    if (::stat(c->readPath.c_str(), &st) != 0) state.SkipWithError("stat failed");
    benchmark::DoNotOptimize(st);
  }
  describe(state, *c, "floor");
}

// Copying a listing's answer out of the file's text into the caller's
// buffer, item by item: what any implementation has to pay for the result
// itself, once it knows where the items are.
void copyItems(benchmark::State& state, const std::vector<std::vector<std::string_view>>& lists,
               std::size_t bufferSize) {
  std::vector<char> buffer(bufferSize);
  std::size_t total = 0;
  std::size_t i = 0;
  for (auto _ : state) {
    const auto& items = lists[i++ % lists.size()];
    std::size_t pos = 0;
    for (const auto item : items) {
      std::memcpy(buffer.data() + pos, item.data(), item.size());
      pos += item.size();
      buffer[pos++] = '\0';
    }
    buffer[pos++] = '\0';
    total += pos;
    benchmark::DoNotOptimize(buffer.data());
    benchmark::ClobberMemory();
  }
  state.counters["result_bytes"] =
      static_cast<double>(total) / static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
}

void floorCopySectionNames(benchmark::State& state, const Corpus* c) {
  // Where the names lie in the file text: between '[' and ']'.
  std::vector<std::string_view> names;
  const std::string_view text = c->text;
  for (std::size_t pos = text.find('['); pos != std::string_view::npos; pos = text.find('[', pos + 1)) {
    const std::size_t close = text.find(']', pos);
    names.push_back(text.substr(pos + 1, close - pos - 1));
  }
  copyItems(state, {names}, c->sectionNamesBytes() + 64);
  describe(state, *c, "floor");
}

void floorCopySection(benchmark::State& state, const Corpus* c) {
  // Each section's "key=value" lines as they lie in the file text, in the
  // order the probes visit them.
  std::vector<std::vector<std::string_view>> bySection(c->sections.size());
  const std::string_view text = c->text;
  std::size_t s = 0;
  bool started = false;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t end = text.find('\n', pos);
    const std::string_view line = text.substr(pos, end - pos);
    if (!line.empty() && line.front() == '[') {
      if (started) ++s;
      started = true;
    } else if (!line.empty()) {
      bySection[s].push_back(line);
    }
    pos = end + 1;
  }
  std::vector<std::vector<std::string_view>> lists;
  std::size_t largest = 0;
  for (std::size_t i = 0; i < std::min<std::size_t>(c->probes.size(), 1024); ++i) {
    lists.push_back(bySection[c->probes[i].section]);
  }
  for (std::size_t k = 0; k < c->sections.size(); ++k) largest = std::max(largest, c->sectionBytes(k));
  copyItems(state, lists, largest + 64);
  describe(state, *c, "floor");
}

void replaceWhole(const std::string& target, std::string_view bytes) {
  const std::string temp = target + ".tmp";
  writeFile(temp, bytes);  // written whole and synced
  if (::rename(temp.c_str(), target.c_str()) != 0) fail("rename " + temp);
}

void floorWriteSyncRename(benchmark::State& state, const Corpus* c) {
  for (auto _ : state) replaceWhole(c->floorWritePath, c->text);
  describe(state, *c, "floor");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(c->text.size()));
}

// ---- writes -----------------------------------------------------------------
// The store's and SimpleIni's write files each see new keys first, then
// updates of existing keys. A new key is taken out again after it was timed
// (untimed), so that the file keeps its size however many iterations run.
//
// The store's cases also time, untimed for the case itself, one floor write
// of the same file size after each of their writes, and report the two
// interleaved: floor_us and x_floor. Sync latency drifts over a run, and the
// interleaved ratio does not drift with it.

std::string newKeyName(uint64_t n) {
  char name[32];
  std::snprintf(name, sizeof name, "newkey_%08llu", static_cast<unsigned long long>(n));
  return name;
}

std::string freshValue(uint64_t n) {
  char value[32];
  std::snprintf(value, sizeof value, "value_%010llu", static_cast<unsigned long long>(n));
  return value;
}

uint64_t& writeCounter() {
  static uint64_t n = 0;
  return n;
}

void writeOurs(benchmark::State& state, const Corpus* c, bool newKeys,
               const std::string& path) {
  ProfileStore& store = writeStore();
  double oursSeconds = 0;
  double floorSeconds = 0;
  std::size_t i = 0;
  for (auto _ : state) {
    const uint64_t n = ++writeCounter();
    const auto& p = c->probes[i++ % c->probes.size()];
    const std::string& section = c->sections[p.section];
    const std::string key = newKeys ? newKeyName(n) : std::string(keyOf(*c, p));
    const auto start = Clock::now();
    const int32_t ok = store.writeString(section, key, freshValue(n), path);
    const double seconds = since(start);
    state.SetIterationTime(seconds);
    oursSeconds += seconds;
    if (ok != 1) state.SkipWithError("write failed");
    if (newKeys && store.writeString(section, key, std::nullopt, path) != 1) {
      state.SkipWithError("removal failed");
    }
    const auto floorStart = Clock::now();
    replaceWhole(c->floorWritePath, c->text);
    floorSeconds += since(floorStart);
  }
  describe(state, *c, "<= 1.5x Floor/write_sync_rename");
  if (state.iterations() > 0 && floorSeconds > 0) {
    state.counters["floor_us"] = floorSeconds * 1e6 / static_cast<double>(state.iterations());
    state.counters["x_floor"] = oursSeconds / floorSeconds;
  }
}

void writeOursNew(benchmark::State& state, const Corpus* c) {
  writeOurs(state, c, true, c->oursWritePath);
}
void writeOursUpdate(benchmark::State& state, const Corpus* c) {
  writeOurs(state, c, false, c->oursWritePath);
}
// The same file with a second hard link: overwritten in place behind the
// journal rather than replaced by rename.
void writeOursUpdateInPlace(benchmark::State& state, const Corpus* c) {
  writeOurs(state, c, false, c->oursLinkedPath);
}

// SimpleIni keeps the file loaded; a write is SetValue, SaveFile and an
// fsync of the saved file.
CSimpleIniA& simpleIniFor(const Corpus& c) {
  static std::vector<std::unique_ptr<CSimpleIniA>> loaded(kShapes.size());
  for (std::size_t k = 0; k < kShapes.size(); ++k) {
    if (std::string_view(kShapes[k].name) != c.shape.name) continue;
    if (!loaded[k]) {
      loaded[k] = std::make_unique<CSimpleIniA>();
      if (loaded[k]->LoadFile(c.simpleWritePath.c_str()) != SI_OK) fail("SimpleIni load " + c.simpleWritePath);
    }
    return *loaded[k];
  }
  fail("unknown shape");
}

bool simpleIniWrite(CSimpleIniA& ini, const Corpus& c, const std::string& section, const std::string& key,
                    const std::string& value) {
  if (ini.SetValue(section.c_str(), key.c_str(), value.c_str()) < 0) return false;
  if (ini.SaveFile(c.simpleWritePath.c_str()) != SI_OK) return false;
  const int fd = ::open(c.simpleWritePath.c_str(), O_RDONLY);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced;
}

void writeSimpleIniNew(benchmark::State& state, const Corpus* c) {
  CSimpleIniA& ini = simpleIniFor(*c);
  std::size_t i = 0;
  for (auto _ : state) {
    const uint64_t n = ++writeCounter();
    const auto& p = c->probes[i++ % c->probes.size()];
    const std::string key = newKeyName(n);
    if (!simpleIniWrite(ini, *c, c->sections[p.section], key, freshValue(n))) {
      state.SkipWithError("write failed");
    }
    // Out again in memory only; the next save writes the file without it.
    state.PauseTiming();
    ini.Delete(c->sections[p.section].c_str(), key.c_str());
    state.ResumeTiming();
  }
  describe(state, *c, "peer");
}

void writeSimpleIniUpdate(benchmark::State& state, const Corpus* c) {
  CSimpleIniA& ini = simpleIniFor(*c);
  std::size_t i = 0;
  for (auto _ : state) {
    const uint64_t n = ++writeCounter();
    const auto& p = c->probes[i++ % c->probes.size()];
    if (!simpleIniWrite(ini, *c, c->sections[p.section], std::string(keyOf(*c, p)), freshValue(n))) {
      state.SkipWithError("write failed");
    }
  }
  describe(state, *c, "peer");
}

// ---- memory -------------------------------------------------------------------

// Bytes the heap holds, mapped blocks included.
std::size_t heapInUse() {
  const struct mallinfo2 m = ::mallinfo2();
  return m.uordblks + m.hblkhd;
}

// Parses the file's bytes, builds every section's key index and asks for
// every section's listings (the most a parsed file ever holds), reporting per byte of the file what the parsed
// file says it holds (bytes_per_file_byte) and what the heap grew by,
// allocator overhead included (heap_per_file_byte). Both count the file's
// own bytes, which the parsed file keeps.
void measureParse(benchmark::State& state, const std::string& text, const char* key) {
  using zidevuv10::store::Document;
  std::size_t held = 0;
  std::size_t heap = 0;
  for (auto _ : state) {
    const std::size_t before = heapInUse();
    const auto doc = Document::parse(text);
    std::string scratch;
    for (int s = 0; s < doc->sectionCount(); ++s) {
      benchmark::DoNotOptimize(doc->findKey(s, key));
      benchmark::DoNotOptimize(doc->keyList(s, scratch));
      benchmark::DoNotOptimize(doc->entryList(s, scratch));
    }
    scratch = std::string();
    heap = heapInUse() - before;
    held = doc->memoryUsed();
  }
  const auto size = static_cast<double>(text.size());
  state.counters["file_MB"] = size / 1e6;
  state.counters["bytes_per_file_byte"] = static_cast<double>(held) / size;
  state.counters["heap_per_file_byte"] = static_cast<double>(heap) / size;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void memoryOrdinary(benchmark::State& state, const Corpus* c) {
  measureParse(state, c->text, c->keys[0][0].c_str());
}

// Files of nothing but section headers, the shape that costs most per byte:
// distinct names, and unnamed "[]" headers (all one name).
void memoryHeadersOnly(benchmark::State& state, bool named) {
  std::string text;
  char line[32];
  for (int i = 0; i < 300'000; ++i) {
    if (named) {
      std::snprintf(line, sizeof line, "[section_%07d]\n", i);
      text += line;
    } else {
      text += "[]\n";
    }
  }
  measureParse(state, text, "key");
}

// ---- registration -------------------------------------------------------------

using Case = void (*)(benchmark::State&, const Corpus*);

struct CaseDef {
  const char* name;
  Case fn;
  double minTime;
  bool manualTime;
};

// The read cases run three times and report the median (with mean and
// spread): one burst of other work on the machine then moves no ratio.
// The write cases are compared with floor writes interleaved with their own.
constexpr int kReadRepetitions = 3;

// Registers a group of cases size by size, so that a case and the floor or
// peer it is held against run next to each other: a change of load on the
// machine during the run then skews both alike.
void addGroup(std::initializer_list<CaseDef> cases, int repetitions) {
  for (const Corpus& c : corpora()) {
    for (const CaseDef& def : cases) {
      const std::string name = std::string(def.name) + "/" + c.shape.name;
      auto* b = benchmark::RegisterBenchmark(name.c_str(), def.fn, &c);
      b->MinTime(def.minTime);
      if (def.manualTime) b->UseManualTime();
      if (repetitions > 1) b->Repetitions(repetitions)->DisplayAggregatesOnly(true);
      b->Unit(benchmark::kMicrosecond);
    }
  }
}

void registerAll() {
  addGroup({
      {"FirstLookup/ours", firstLookupOurs, kParseTime, true},
      {"FirstLookup/inih", firstLookupInih, kParseTime, true},
      {"FirstLookup/simpleini", firstLookupSimpleIni, kParseTime, true},
  }, kReadRepetitions);
  addGroup({
      {"Floor/stat", floorStat, kQuickTime, false},
      {"Lookup/ours", lookupOurs, kQuickTime, false},
      {"Lookup/inih_parse", lookupInihParse, kParseTime, false},
      {"Lookup/simpleini_parse", lookupSimpleIniParse, kParseTime, false},
      {"Lookup/simpleini_loaded", lookupSimpleIniLoaded, kQuickTime, false},
      {"List/ours_section_names", listSectionNamesOurs, kQuickTime, false},
      {"Floor/copy_section_names", floorCopySectionNames, kQuickTime, false},
      {"List/ours_section", listSectionOurs, kQuickTime, false},
      {"Floor/copy_section", floorCopySection, kQuickTime, false},
  }, kReadRepetitions);
  // New keys first, then updates, on each write file.
  addGroup({
      {"Floor/write_sync_rename", floorWriteSyncRename, kWriteTime, false},
      {"Write/ours_new", writeOursNew, kWriteTime, true},
      {"Write/ours_update", writeOursUpdate, kWriteTime, true},
      {"Write/ours_update_in_place", writeOursUpdateInPlace, kWriteTime, true},
      {"Write/simpleini_new", writeSimpleIniNew, kWriteTime, false},
      {"Write/simpleini_update", writeSimpleIniUpdate, kWriteTime, false},
  }, 1);
  addGroup({{"Memory/ordinary", memoryOrdinary, kParseTime, false}}, 1);
  for (const bool named : {true, false}) {
    auto* b = benchmark::RegisterBenchmark(named ? "Memory/headers_only/named" : "Memory/headers_only/unnamed",
                                           [named](benchmark::State& st) { memoryHeadersOnly(st, named); });
    b->MinTime(kParseTime)->Unit(benchmark::kMillisecond);
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

  // Static, so that the folder also goes when fail() ends the program.
  static Workspace workspace("store_bench");
  uint64_t seed = 0x5eed0001;
  for (const Shape& shape : kShapes) {
    Corpus c;
    static_cast<GeneratedFile&>(c) = zidevuv10::bench::generate(shape, seed++);
    const std::string base = workspace.dir() + "/" + shape.name;
    c.readPath = base + ".ini";
    c.oursWritePath = base + "_ours_write.ini";
    c.simpleWritePath = base + "_simpleini_write.ini";
    c.floorWritePath = base + "_floor_write.ini";
    c.oursLinkedPath = base + "_ours_linked.ini";
    for (const auto* path : {&c.readPath, &c.oursWritePath, &c.simpleWritePath, &c.floorWritePath,
                             &c.oursLinkedPath}) {
      writeFile(*path, c.text);
      ageFile(*path);
    }
    if (::link(c.oursLinkedPath.c_str(), (base + "_ours_linked_2.ini").c_str()) != 0) {
      fail("link " + c.oursLinkedPath);
    }
    corpora().push_back(std::move(c));
  }
  const auto generated = Clock::now();
  // The change time cannot be set back: let it age past the coarsest
  // timestamp granularity the store assumes (two seconds and a bit, for
  // file systems it does not know) before anything is read, so that every
  // reader sees settled files.
  std::this_thread::sleep_until(generated + std::chrono::milliseconds(2200));

  registerAll();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
