// Reads must see every change made to the file before they started, by
// anyone and by any means: rewrites in place of the same size within one
// timestamp tick, replacement by rename (the new file may even get the old
// inode number back), deletion, and writes acknowledged by another process.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "store/profile_store.h"
#include "support/faulty_file_system.h"
#include "support/test_files.h"

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

}  // namespace
