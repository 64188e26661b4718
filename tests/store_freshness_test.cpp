// Reads must see every change made to the file before they started, by
// anyone and by any means: rewrites in place of the same size within one
// timestamp tick, replacement by rename (the new file may even get the old
// inode number back), deletion, and writes acknowledged by another process,
// one at a time or by several writer processes at once.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "store/file_bytes.h"
#include "store/profile_store.h"
#include "support/faulty_file_system.h"
#include "support/test_files.h"
#include "zidevuv10/profile.h"

namespace {

namespace zt = zidevuv10::testing;
using zidevuv10::store::ProfileStore;

std::string get(ProfileStore& store, const std::string& file, const char* key = "k") {
  std::vector<char> buf(256);
  const uint32_t n = store.getString("s", key, "<default>", buf, file);
  return std::string(buf.data(), n);
}

// Values of one size, so that a rewrite keeps the file's size.
std::string valueFor(int i) {
  char v[16];
  std::snprintf(v, sizeof v, "v%06d", i % 1000000);
  return v;
}
std::string contentFor(int i) { return "[s]\nk=" + valueFor(i) + "\nz=same\n"; }

// Rewrites the file in place as an editor without the store would.
bool rewriteInPlace(const std::string& file, const std::string& bytes) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_TRUNC);
  if (fd < 0) return false;
  const bool ok = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  return ::close(fd) == 0 && ok;
}

// Overwrites the file's bytes without truncating it first (same size): the
// quickest change, so that several land within one timestamp tick.
bool overwriteInPlace(const std::string& file, const std::string& bytes) {
  const int fd = ::open(file.c_str(), O_WRONLY);
  if (fd < 0) return false;
  const bool ok = ::pwrite(fd, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size());
  return ::close(fd) == 0 && ok;
}

int64_t mtimeNs(const std::string& file) {
  struct stat st {};
  ::stat(file.c_str(), &st);
  return static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

bool writeAllFd(int fd, const void* p, std::size_t n) {
  return ::write(fd, p, n) == static_cast<ssize_t>(n);
}
bool readAllFd(int fd, void* p, std::size_t n) {
  auto* c = static_cast<char*>(p);
  while (n > 0) {
    const ssize_t r = ::read(fd, c, n);
    if (r <= 0) return false;
    c += r;
    n -= static_cast<std::size_t>(r);
  }
  return true;
}

int waitStatus(pid_t pid) {
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Each test runs twice: on the file system as it is, and with its file
// times coarsened to 20 ms ticks, well within the granularity the store
// allows for, so that many changes of a file share one timestamp whatever
// the kernel does (recent kernels hand out fine-grained times to files
// whose times were just looked at).
constexpr long kCoarseTickNs = 20'000'000;

class StoreFreshness : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    file_ = dir_.file("fresh.ini");
    zt::writeFile(file_, contentFor(0));
  }
  bool coarse() const { return GetParam(); }
  std::unique_ptr<ProfileStore> newStore() const {
    auto fs = std::make_shared<zt::FaultyFileSystem>();
    if (coarse()) fs->setTimestampGranularity(kCoarseTickNs);
    return std::make_unique<ProfileStore>(fs);
  }
  // The file's modification time as the store sees it.
  int64_t seenMtime() const {
    const int64_t t = mtimeNs(file_);
    return coarse() ? t - t % kCoarseTickNs : t;
  }
  zt::TempDir dir_;
  std::string file_;
};

TEST_P(StoreFreshness, InPlaceRewritesOfTheSameSizeAreSeenAtOnce) {
  int sameTimestamp = 0;
  for (const bool truncate : {true, false}) {
    SCOPED_TRACE(truncate ? "truncate and write" : "overwrite");
    auto storePtr = newStore();
    ProfileStore& store = *storePtr;
    ASSERT_EQ(get(store, file_), valueFor(0));
    int64_t previous = seenMtime();
    for (int i = 1; i <= 400; ++i) {
      ASSERT_TRUE(truncate ? rewriteInPlace(file_, contentFor(i))
                           : overwriteInPlace(file_, contentFor(i)));
      const int64_t now = seenMtime();
      sameTimestamp += now == previous ? 1 : 0;
      previous = now;
      ASSERT_EQ(get(store, file_), valueFor(i)) << "rewrite " << i;
      ASSERT_EQ(get(store, file_, "z"), "same");
    }
    zt::writeFile(file_, contentFor(0));
  }
  RecordProperty("rewrites_within_one_tick", sameTimestamp);
}

TEST_P(StoreFreshness, InPlaceRewritesAfterOwnWritesAreSeen) {
  // The store's own write is remembered; a rewrite by someone else right
  // after it (same size, same tick) must still win.
  auto storePtr = newStore();
  ProfileStore& store = *storePtr;
  for (int i = 1; i <= 150; ++i) {
    ASSERT_EQ(store.writeString("s", "k", valueFor(2 * i), file_), 1);
    ASSERT_EQ(get(store, file_), valueFor(2 * i));
    ASSERT_TRUE(overwriteInPlace(file_, zt::readFile(file_).replace(6, 7, valueFor(2 * i + 1))));
    ASSERT_EQ(get(store, file_), valueFor(2 * i + 1)) << "round " << i;
  }
}

TEST_P(StoreFreshness, InPlaceRewritesByAnotherProcessAreSeenAtOnce) {
  auto storePtr = newStore();
  ProfileStore& store = *storePtr;
  ASSERT_EQ(get(store, file_), valueFor(0));
  for (int i = 1; i <= 150; ++i) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      const bool ok = i % 2 == 0 ? rewriteInPlace(file_, contentFor(i))
                                 : overwriteInPlace(file_, contentFor(i));
      ::_exit(ok ? 0 : 1);
    }
    ASSERT_EQ(waitStatus(pid), 0);
    ASSERT_EQ(get(store, file_), valueFor(i)) << "rewrite " << i;
  }
}

TEST_P(StoreFreshness, RewriteWithTheOldTimestampRestoredIsSeen) {
  // Once the cached copy is old enough to be trusted by its timestamp, an
  // editor that rewrites the file and puts the old timestamp back.
  auto storePtr = newStore();
  ProfileStore& store = *storePtr;
  ASSERT_EQ(get(store, file_), valueFor(0));
  std::this_thread::sleep_for(std::chrono::milliseconds(120));
  for (int i = 1; i <= 3; ++i) {
    ASSERT_EQ(get(store, file_), valueFor(i - 1));  // settled in the cache now
    struct stat before {};
    ASSERT_EQ(::stat(file_.c_str(), &before), 0);
    ASSERT_TRUE(rewriteInPlace(file_, contentFor(i)));
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, file_.c_str(), times, 0), 0);
    EXPECT_EQ(get(store, file_), valueFor(i));
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
  }
}

TEST_P(StoreFreshness, ChangeDuringAReadIsSeenByTheNextRead) {
  // The file is rewritten in place at one exact step of the store's read
  // (before its stat, open, fstat, first read, read of the end, close):
  // that read may answer the old or the new version, the next must answer
  // the new one.
  auto fs = std::make_shared<zt::FaultyFileSystem>();
  if (coarse()) fs->setTimestampGranularity(kCoarseTickNs);
  ProfileStore store(fs);
  struct Moment {
    zt::FsOp op;
    int nth;
  };
  const Moment moments[] = {{zt::FsOp::Stat, 1}, {zt::FsOp::Open, 1}, {zt::FsOp::Fstat, 1},
                            {zt::FsOp::Read, 1}, {zt::FsOp::Read, 2}, {zt::FsOp::Close, 1}};
  int version = 0;
  ASSERT_EQ(get(store, file_), valueFor(version));
  for (const Moment& m : moments) {
    SCOPED_TRACE(std::string(zt::fsOpName(m.op)) + " #" + std::to_string(m.nth));
    for (int i = 0; i < 40; ++i) {
      const int next = ++version;
      bool done = false;
      int seen = 0;
      fs->setHook([&](zt::FsOp op, const std::string& path) {
        if (done || op != m.op || path != file_ || ++seen < m.nth) return;
        done = true;
        if (next % 2 == 0) {
          rewriteInPlace(file_, contentFor(next));
        } else {
          overwriteInPlace(file_, contentFor(next));
        }
      });
      const std::string during = get(store, file_);
      fs->setHook(nullptr);
      EXPECT_TRUE(during == valueFor(next - 1) || during == valueFor(next)) << during;
      if (!done) overwriteInPlace(file_, contentFor(next));  // the store read from its cache
      ASSERT_EQ(get(store, file_), valueFor(next)) << "version " << next;
    }
  }
}

TEST(StoreFreshnessRead, FileGrownSinceItsStatIsReadToItsEnd) {
  // The store reads a file into a buffer sized from its stat: small ones
  // on the heap, bigger ones with their pages mapped at once, big ones in a
  // mapping of their own. Whatever the size expected, every byte the file
  // holds when it is read comes back, in order, and nothing else.
  zt::TempDir dir;
  const std::string file = dir.file("grown.ini");
  auto fs = zidevuv10::fs::posixFileSystem();
  const std::size_t sizes[] = {0, 1, 65'535, 65'536, 262'143, 262'144, (std::size_t{2} << 20) + 1};
  for (const std::size_t size : sizes) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
      bytes[i] = static_cast<char>('a' + (i * 7 + i / 4093) % 26);
    }
    zt::writeFile(file, bytes);
    for (const std::size_t expected : {size, size / 3, std::size_t{0}}) {
      SCOPED_TRACE("file of " + std::to_string(size) + " bytes, " + std::to_string(expected) +
                   " expected");
      const int fd = ::open(file.c_str(), O_RDONLY);
      ASSERT_GE(fd, 0);
      zidevuv10::store::FileBytes read;
      EXPECT_EQ(zidevuv10::store::readFileBytes(*fs, fd, expected, read), 0);
      ::close(fd);
      EXPECT_TRUE(read.view() == bytes) << "got " << read.view().size() << " bytes";
    }
  }
}

TEST_P(StoreFreshness, ReplacementByRenameIsSeen) {
  // The replaced file's inode is freed and is often handed to the next
  // temporary file: identical inode, size and timestamp, other content.
  auto storePtr = newStore();
  ProfileStore& store = *storePtr;
  const std::string temp = dir_.file("incoming.tmp");
  for (int i = 1; i <= 400; ++i) {
    zt::writeFile(temp, contentFor(i));
    ASSERT_EQ(::rename(temp.c_str(), file_.c_str()), 0);
    ASSERT_EQ(get(store, file_), valueFor(i)) << "rename " << i;
  }
}

TEST_P(StoreFreshness, DeletedFileGivesTheDefault) {
  auto storePtr = newStore();
  ProfileStore& store = *storePtr;
  for (int i = 1; i <= 100; ++i) {
    ASSERT_EQ(get(store, file_), valueFor(i - 1));
    ASSERT_EQ(::unlink(file_.c_str()), 0);
    ASSERT_EQ(get(store, file_), "<default>");
    std::vector<char> names(64, 'X');
    EXPECT_EQ(store.getSectionNames(names, file_), 0u);
    zt::writeFile(file_, contentFor(i));
  }
  // Replaced by a folder of the same name.
  ASSERT_EQ(::unlink(file_.c_str()), 0);
  ASSERT_EQ(::mkdir(file_.c_str(), 0755), 0);
  EXPECT_EQ(get(store, file_), "<default>");
}

TEST_P(StoreFreshness, RetargetedSymbolicLinkIsSeen) {
  const std::string a = dir_.file("a.ini");
  const std::string b = dir_.file("b.ini");
  zt::writeFile(a, contentFor(1));
  zt::writeFile(b, contentFor(2));
  const std::string link = dir_.file("link.ini");
  auto storePtr = newStore();
  ProfileStore& store = *storePtr;
  for (int i = 0; i < 50; ++i) {
    const std::string& target = i % 2 == 0 ? a : b;
    ::unlink(link.c_str());
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    ASSERT_EQ(get(store, link), valueFor(i % 2 == 0 ? 1 : 2)) << i;
  }
}

TEST_P(StoreFreshness, ReaderProcessSeesEachInPlaceRewriteOfAWriterProcess) {
  // Ping-pong: the parent rewrites in place (no store), the child reads
  // through one long-lived store and must see exactly that version.
  int toChild[2];
  int toParent[2];
  ASSERT_EQ(::pipe(toChild), 0);
  ASSERT_EQ(::pipe(toParent), 0);
  constexpr int kRounds = 300;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(toChild[1]);
    ::close(toParent[0]);
    auto storePtr = newStore();
    ProfileStore& store = *storePtr;
    int wrong = 0;
    int32_t i = 0;
    while (readAllFd(toChild[0], &i, sizeof i)) {
      if (get(store, file_) != valueFor(i)) ++wrong;
      if (!writeAllFd(toParent[1], &i, sizeof i)) break;
    }
    ::_exit(wrong == 0 ? 0 : 10 + (wrong > 100 ? 100 : wrong));
  }
  ::close(toChild[0]);
  ::close(toParent[1]);
  for (int32_t i = 1; i <= kRounds; ++i) {
    ASSERT_TRUE(i % 2 == 0 ? rewriteInPlace(file_, contentFor(i))
                           : overwriteInPlace(file_, contentFor(i)));
    ASSERT_TRUE(writeAllFd(toChild[1], &i, sizeof i));
    int32_t echo = 0;
    ASSERT_TRUE(readAllFd(toParent[0], &echo, sizeof echo));
    ASSERT_EQ(echo, i);
  }
  ::close(toChild[1]);
  ::close(toParent[0]);
  EXPECT_EQ(waitStatus(pid), 0) << "the reader saw an outdated version (status - 10 = count)";
}

TEST_P(StoreFreshness, ReaderProcessNeverSeesAnOlderValueThanTheLastAcknowledgedWrite) {
  // The parent writes counter=i through the store and then tells the
  // child; the child reads continuously and checks that no read started
  // after an acknowledgement shows anything older, and that values never
  // go back.
  int acks[2];
  ASSERT_EQ(::pipe(acks), 0);
  constexpr uint32_t kWrites = 300;
  auto writerPtr = newStore();
  ProfileStore& writer = *writerPtr;
  ASSERT_EQ(writer.writeString("s", "counter", "0", file_), 1);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(acks[1]);
    ::fcntl(acks[0], F_SETFL, O_NONBLOCK);
    auto storePtr = newStore();
    ProfileStore& store = *storePtr;
    uint32_t acknowledged = 0;
    uint32_t lastSeen = 0;
    int older = 0;
    bool open = true;
    std::string pending;
    while (open) {
      char buf[256];
      const ssize_t r = ::read(acks[0], buf, sizeof buf);
      if (r == 0) open = false;
      if (r > 0) pending.append(buf, static_cast<std::size_t>(r));
      while (pending.size() >= sizeof(uint32_t)) {
        std::memcpy(&acknowledged, pending.data(), sizeof acknowledged);
        pending.erase(0, sizeof acknowledged);
      }
      const uint32_t seen = store.getInt("s", "counter", -1, file_);
      if (seen == static_cast<uint32_t>(-1) || seen < acknowledged || seen < lastSeen) ++older;
      if (seen != static_cast<uint32_t>(-1)) lastSeen = seen;
    }
    // All writes are acknowledged by now: the last read saw the last one.
    if (lastSeen != kWrites) ++older;
    ::_exit(older == 0 ? 0 : 10 + (older > 100 ? 100 : older));
  }
  ::close(acks[0]);
  for (uint32_t i = 1; i <= kWrites; ++i) {
    ASSERT_EQ(writer.writeString("s", "counter", std::to_string(i), file_), 1);
    ASSERT_TRUE(writeAllFd(acks[1], &i, sizeof i));
    if (i % 50 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  ::close(acks[1]);
  EXPECT_EQ(waitStatus(pid), 0) << "the reader saw an older value (status - 10 = count)";
}

TEST_P(StoreFreshness, AnotherStoreInTheSameProcessSeesWritesAtOnce) {
  // Two stores in one process (as two libraries' copies would be): each
  // write of one is read back at once through the other.
  auto aPtr = newStore();
  auto bPtr = newStore();
  ProfileStore& a = *aPtr;
  ProfileStore& b = *bPtr;
  for (int i = 1; i <= 150; ++i) {
    ProfileStore& w = i % 2 == 0 ? a : b;
    ProfileStore& r = i % 2 == 0 ? b : a;
    ASSERT_EQ(w.writeString("s", "k", valueFor(i), file_), 1);
    ASSERT_EQ(get(r, file_), valueFor(i)) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Timestamps, StoreFreshness, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& param) {
                           return std::string(param.param ? "Coarse" : "AsTheyAre");
                         });

// --- Soak: a reader process against writer processes ---------------------------

// Writer processes keep updating their own key of one file with increasing
// sequence numbers; after each write returns, the writer publishes that
// number in memory shared by all the test's processes. A reader process
// loads every published number, then reads the file: no key may be older
// than its number loaded before the read began, go back from what this
// reader saw before, or be anything but one whole value. Reads alternate
// between the C functions (one long-lived store), a long-lived store on
// coarse timestamps and a store made fresh for the read. Freshness here is
// about order, not time: no check depends on how fast anything runs.
constexpr int kSoakWriters = 4;
constexpr uint64_t kSoakWrites = 400;
// A writer lets the reader finish a read every this many writes, so that
// reads and writes interleave however the processes are scheduled.
constexpr uint64_t kSoakHandshakeEvery = 20;

struct SoakBoard {
  std::atomic<uint64_t> completed[kSoakWriters];  // last sequence whose write returned
  std::atomic<uint64_t> reads;                    // reads the reader has checked
  std::atomic<int> writersEnded;                  // set by the parent, after waitpid
  std::atomic<int> readerEnded;                   // likewise
  char firstProblem[256];                         // the reader's first finding
};
static_assert(std::atomic<uint64_t>::is_always_lock_free, "shared between processes");

std::string soakKey(int writer) { return "w" + std::to_string(writer); }

// Sequence n as a value: the number at both ends of a padding made of it,
// so that a cut or mixed value shows.
std::string soakValue(uint64_t n) {
  const std::string tag = std::to_string(n);
  std::string v = tag + ":";
  while (v.size() < 120) v += tag + "-";
  return v + ":" + tag;
}

std::optional<uint64_t> soakSequenceOf(std::string_view value) {
  const std::size_t colon = value.find(':');
  if (colon == 0 || colon == std::string_view::npos || colon > 20) return std::nullopt;
  uint64_t n = 0;
  for (std::size_t i = 0; i < colon; ++i) {
    if (value[i] < '0' || value[i] > '9') return std::nullopt;
    n = n * 10 + static_cast<uint64_t>(value[i] - '0');
  }
  if (value != soakValue(n)) return std::nullopt;
  return n;
}

// The reader's loop; the number of problems found (the first is described
// on the board).
int soakReader(SoakBoard& board, const std::string& file) {
  auto coarseFs = std::make_shared<zt::FaultyFileSystem>();
  coarseFs->setTimestampGranularity(kCoarseTickNs);
  ProfileStore coarseStore(coarseFs);
  uint64_t lastSeen[kSoakWriters] = {};
  int problems = 0;
  const auto problem = [&](const std::string& what) {
    if (problems++ == 0) {
      std::snprintf(board.firstProblem, sizeof board.firstProblem, "%s", what.c_str());
    }
  };
  std::vector<char> buf(64 * 1024);
  for (uint64_t round = 0;; ++round) {
    // Loaded before the floors: once all writers have ended, the floors
    // are their last numbers and this read is the last.
    const bool last = board.writersEnded.load(std::memory_order_acquire) == kSoakWriters;
    uint64_t floor[kSoakWriters];
    for (int w = 0; w < kSoakWriters; ++w) {
      floor[w] = board.completed[w].load(std::memory_order_acquire);
    }
    uint32_t n = 0;
    const char* how = "";
    switch (round % 3) {
      case 0:
        how = "C functions";
        n = GetPrivateProfileSectionA("seq", buf.data(), static_cast<uint32_t>(buf.size()),
                                      file.c_str());
        break;
      case 1:
        how = "long-lived store, coarse timestamps";
        n = coarseStore.getSection("seq", buf, file);
        break;
      default: {
        how = "fresh store";
        ProfileStore fresh;
        n = fresh.getSection("seq", buf, file);
      }
    }
    // "key=value\0" entries, one read of one version of the file.
    std::optional<uint64_t> seen[kSoakWriters];
    std::string_view rest(buf.data(), n);
    while (!rest.empty()) {
      const std::size_t end = rest.find('\0');
      const std::string_view entry = rest.substr(0, end);
      rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
      const std::size_t eq = entry.find('=');
      int writer = -1;
      for (int w = 0; w < kSoakWriters && eq != std::string_view::npos; ++w) {
        if (entry.substr(0, eq) == soakKey(w)) writer = w;
      }
      const auto sequence = writer < 0 ? std::nullopt : soakSequenceOf(entry.substr(eq + 1));
      if (!sequence) {
        problem("read " + std::to_string(round) + " (" + how + "): unexpected entry of " +
                std::to_string(entry.size()) + " bytes: " + std::string(entry.substr(0, 60)));
        continue;
      }
      seen[writer] = sequence;
    }
    for (int w = 0; w < kSoakWriters; ++w) {
      const uint64_t got = seen[w].value_or(0);
      const std::string where = "read " + std::to_string(round) + " (" + how + "), " + soakKey(w);
      if (floor[w] > 0 && !seen[w]) {
        problem(where + ": missing after " + std::to_string(floor[w]) + " was done");
      }
      if (got < floor[w]) {
        problem(where + ": " + std::to_string(got) + " after " + std::to_string(floor[w]) +
                " was done");
      }
      if (got < lastSeen[w]) {
        problem(where + ": " + std::to_string(got) + " after seeing " +
                std::to_string(lastSeen[w]));
      }
      lastSeen[w] = std::max(lastSeen[w], got);
      if (last && got != kSoakWrites) problem(where + ": last read saw " + std::to_string(got));
    }
    board.reads.fetch_add(1, std::memory_order_release);
    if (last) return problems;
  }
}

int soakWriter(SoakBoard& board, int writer, const std::string& file) {
  // Half the writers go through the C functions, half through a store.
  ProfileStore store;
  const std::string key = soakKey(writer);
  uint64_t readsAtHandshake = board.reads.load(std::memory_order_acquire);
  for (uint64_t i = 1; i <= kSoakWrites; ++i) {
    if (i % kSoakHandshakeEvery == 0) {
      while (board.reads.load(std::memory_order_acquire) == readsAtHandshake &&
             board.readerEnded.load(std::memory_order_acquire) == 0) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
      }
      readsAtHandshake = board.reads.load(std::memory_order_acquire);
    }
    const std::string value = soakValue(i);
    const int32_t rc = writer % 2 == 0
                           ? WritePrivateProfileStringA("seq", key.c_str(), value.c_str(),
                                                        file.c_str())
                           : store.writeString("seq", key, value, file);
    if (rc != 1) return 10;
    board.completed[writer].store(i, std::memory_order_release);
  }
  return 0;
}

// The soak in a folder: `file` is created there.
// With `linked`, the file has a second hard link, so that every write
// overwrites it in place.
void soakIn(const std::string& folder, bool linked = false) {
  const std::string file = folder + "/soak.ini";
  zt::writeFile(file, "; soak\n[seq]\n[other]\nkept=1\n");
  if (linked && ::link(file.c_str(), (folder + "/soak-link.ini").c_str()) != 0) {
    GTEST_SKIP() << "no hard links on this file system";
  }
  void* shared = ::mmap(nullptr, sizeof(SoakBoard), PROT_READ | PROT_WRITE,
                        MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(shared, MAP_FAILED);
  auto* board = new (shared) SoakBoard{};
  std::fflush(nullptr);
  const pid_t reader = ::fork();
  if (reader == 0) ::_exit(soakReader(*board, file) == 0 ? 0 : 10);
  ASSERT_GT(reader, 0);
  std::vector<pid_t> writers;
  for (int w = 0; w < kSoakWriters; ++w) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(soakWriter(*board, w, file));
    ASSERT_GT(pid, 0);
    writers.push_back(pid);
  }
  // Children in the order they end: the reader's end releases writers
  // waiting for it, the writers' end lets the reader make its last read.
  int readerStatus = -1;
  std::vector<int> writerStatus(writers.size(), -1);
  for (std::size_t left = writers.size() + 1; left > 0;) {
    int status = 0;
    const pid_t pid = ::waitpid(-1, &status, 0);
    ASSERT_GT(pid, 0);
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (pid == reader) {
      readerStatus = code;
      board->readerEnded.store(1, std::memory_order_release);
      --left;
      continue;
    }
    for (std::size_t w = 0; w < writers.size(); ++w) {
      if (writers[w] != pid) continue;
      writerStatus[w] = code;
      board->writersEnded.fetch_add(1, std::memory_order_release);
      --left;
    }
  }
  for (int status : writerStatus) EXPECT_EQ(status, 0) << "a write failed";
  EXPECT_EQ(readerStatus, 0) << "first finding: " << board->firstProblem;
  // Every writer waited for the reader at each handshake.
  EXPECT_GE(board->reads.load(), kSoakWrites / kSoakHandshakeEvery);
  ::testing::Test::RecordProperty("reads", static_cast<int>(board->reads.load()));
  ProfileStore after;
  for (int w = 0; w < kSoakWriters; ++w) {
    std::vector<char> value(512);
    const uint32_t n = after.getString("seq", soakKey(w), "", value, file);
    EXPECT_EQ(std::string(value.data(), n), soakValue(kSoakWrites)) << soakKey(w);
  }
  EXPECT_EQ(zt::readFile(file).rfind("; soak\n[seq]\n", 0), 0u);
  std::vector<char> kept(16);
  EXPECT_EQ(after.getString("other", "kept", "", kept, file), 1u);
  EXPECT_EQ(zt::listFolder(folder),
            linked ? ".soak.ini.zdv-journal soak-link.ini soak.ini" : "soak.ini");
  board->~SoakBoard();
  ::munmap(shared, sizeof(SoakBoard));
}

TEST(StoreFreshnessSoak, ReaderProcessNeverSeesAWriteOlderThanOneAlreadyDone) {
  zt::TempDir dir;
  soakIn(dir.path());
}

// --- File systems that keep whole seconds ------------------------------------

// Nanoseconds to wait for the start of the next second, plus a little.
std::chrono::nanoseconds untilNextSecond() {
  timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return std::chrono::nanoseconds(1'000'000'000 - now.tv_nsec + 10'000'000);
}

TEST(StoreFreshnessWholeSeconds, ChangesWithinOneSecondAreSeenAndKeptByWriters) {
  // Times in whole seconds: several same-size changes within one second
  // show one timestamp, long after the kernel's clock tick has passed.
  zt::TempDir dir;
  const std::string file = dir.file("seconds.ini");
  auto fs = std::make_shared<zt::FaultyFileSystem>();
  fs->setTimestampGranularity(1'000'000'000);
  ProfileStore store(fs);
  ProfileStore fresh;
  std::this_thread::sleep_for(untilNextSecond());
  zt::writeFile(file, contentFor(1));
  EXPECT_EQ(get(store, file), valueFor(1));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ASSERT_TRUE(overwriteInPlace(file, contentFor(2)));
  EXPECT_EQ(get(store, file), valueFor(2));
  ASSERT_TRUE(overwriteInPlace(file, contentFor(3)));
  EXPECT_EQ(get(store, file), valueFor(3));
  // A write rests on what the writer read, not on its cached copy.
  ASSERT_TRUE(overwriteInPlace(file, contentFor(4)));
  ASSERT_EQ(store.writeString("s", "z", "diff", file), 1);
  EXPECT_EQ(get(fresh, file), valueFor(4));
}

TEST(StoreFreshnessWholeSeconds, NamesAddedToAFolderAreMatchedInAnyCase) {
  // A name that does not exist as given is matched through the folder's
  // listing, which the store keeps while the folder's times stay as they
  // were. In whole seconds, a name added within the second of a listing
  // leaves them unchanged: such a listing must not be kept.
  zt::TempDir dir;
  auto fs = std::make_shared<zt::FaultyFileSystem>();
  fs->setTimestampGranularity(1'000'000'000);
  ProfileStore store(fs);
  std::this_thread::sleep_for(untilNextSecond());
  zt::writeFile(dir.file("one.ini"), contentFor(1));
  EXPECT_EQ(get(store, dir.file("ONE.INI")), valueFor(1));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  zt::writeFile(dir.file("two.ini"), contentFor(2));
  EXPECT_EQ(get(store, dir.file("TWO.INI")), valueFor(2));
  // Settled, the listing is kept; a name added later moves the folder's times.
  std::this_thread::sleep_for(std::chrono::milliseconds(2200));
  EXPECT_EQ(get(store, dir.file("Two.ini")), valueFor(2));
  zt::writeFile(dir.file("three.ini"), contentFor(3));
  EXPECT_EQ(get(store, dir.file("THREE.INI")), valueFor(3));
}

// A file system image of its own, loop-mounted for the test's lifetime
// (needs root, a loop device and the mkfs tool).
class LoopMount {
 public:
  explicit LoopMount(const std::string& mkfs) {
    if (::geteuid() != 0) {
      reason_ = "loop mounts need root";
      return;
    }
    const std::string image = dir_.file("fs.img");
    folder_ = dir_.file("mnt");
    if (::mkdir(folder_.c_str(), 0755) != 0 ||
        !run("truncate -s 64M '" + image + "'") || !run(mkfs + " '" + image + "'")) {
      reason_ = "cannot make the image with " + mkfs;
      return;
    }
    if (!run("mount -o loop '" + image + "' '" + folder_ + "'")) {
      reason_ = "cannot loop-mount an image made with " + mkfs;
      return;
    }
    mounted_ = true;
  }
  ~LoopMount() {
    if (mounted_ && !run("umount '" + folder_ + "'")) run("umount -l '" + folder_ + "'");
  }
  LoopMount(const LoopMount&) = delete;
  LoopMount& operator=(const LoopMount&) = delete;

  // Empty when mounted.
  const std::string& whyNot() const { return reason_; }
  const std::string& folder() const { return folder_; }

 private:
  static bool run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
  }
  zt::TempDir dir_;
  std::string folder_;
  std::string reason_;
  bool mounted_ = false;
};

class StoreOnCoarseFileSystem : public ::testing::TestWithParam<const char*> {};

TEST_P(StoreOnCoarseFileSystem, SoakLosesNoUpdateAndReadsNothingOlder) {
  // Whole-second times, and inode numbers that come back at once after a
  // replacement: a file can look the same while its content has changed.
  LoopMount mount(GetParam());
  if (!mount.whyNot().empty()) GTEST_SKIP() << mount.whyNot();
  const std::string folder = mount.folder() + "/soak";  // away from lost+found
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  soakIn(folder);
}

TEST_P(StoreOnCoarseFileSystem, HardLinkedSoakLosesNoUpdateAndReadsNothingOlder) {
  // The same on a file with a second hard link, so that every write
  // overwrites it in place behind its journal, with no clock to tell
  // versions apart.
  LoopMount mount(GetParam());
  if (!mount.whyNot().empty()) GTEST_SKIP() << mount.whyNot();
  const std::string folder = mount.folder() + "/soak";
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  soakIn(folder, true);
}

INSTANTIATE_TEST_SUITE_P(Images, StoreOnCoarseFileSystem,
                         ::testing::Values("mkfs.ext4 -q -F -I 128", "mkfs.vfat"),
                         [](const ::testing::TestParamInfo<const char*>& param) {
                           return std::string(param.index == 0 ? "Ext4SmallInodes" : "Vfat");
                         });

}  // namespace
