// Writers killed at random moments: the file must always be one complete
// version that some writer produced (never torn, empty or mixed), readable
// by the store; at most one temporary file may linger after a kill, and the
// next successful write leaves none. Files that are overwritten in place
// (several hard links) may be torn on disk after a kill, but the next
// access finishes the overwrite, so no reader ever sees a torn version.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "store/profile_store.h"
#include "support/faulty_file_system.h"
#include "support/power_loss.h"
#include "support/test_files.h"

namespace {

namespace zt = zidevuv10::testing;
using zidevuv10::store::ProfileStore;
using zidevuv10::store::Status;

// Version n of the value: its number at both ends of a long padding made of
// the number too, so a file cut anywhere or mixing two versions shows.
std::string versionValue(uint64_t n) {
  const std::string tag = std::to_string(n);
  std::string v = tag + ":";
  while (v.size() < 48 * 1024) v += tag + "-";
  return v + ":" + tag;
}

// The version number whose value this is, or nullopt when the value is no
// complete version.
std::optional<uint64_t> versionOf(const std::string& value) {
  const std::size_t colon = value.find(':');
  if (colon == std::string::npos || colon == 0) return std::nullopt;
  uint64_t n = 0;
  for (std::size_t i = 0; i < colon; ++i) {
    if (value[i] < '0' || value[i] > '9') return std::nullopt;
    n = n * 10 + static_cast<uint64_t>(value[i] - '0');
  }
  if (value != versionValue(n)) return std::nullopt;
  return n;
}

std::string readValue(ProfileStore& store, const char* section, const char* key,
                      const std::string& file) {
  std::vector<char> buf(256 * 1024);
  const uint32_t n = store.getString(section, key, "<missing>", buf, file);
  return std::string(buf.data(), n);
}

// The folder's listing with the random part of temporary file names
// written as "*", and without writers' lock files (a killed writer's stays
// until its user's next write).
std::string listing(const std::string& folder) {
  std::string names;
  {
    std::istringstream all(zt::listFolder(folder));
    for (std::string name; all >> name;) {
      if (name.size() > 9 && name.compare(name.size() - 9, 9, ".zdv-lock") == 0) continue;
      names += (names.empty() ? "" : " ") + name;
    }
  }
  const std::string mark = ".zdv-tmp.";
  for (std::size_t at = names.find(mark); at != std::string::npos; at = names.find(mark, at)) {
    at += mark.size();
    const std::size_t end = std::min(names.find(' ', at), names.size());
    EXPECT_EQ(end - at, 12u) << names;
    names.replace(at, end - at, "*");
  }
  return names;
}

struct Writer {
  pid_t pid = -1;
  int readyFd = -1;  // becomes readable once the writer has written once
};

// A child that writes versions (id * 10^9 + 1, + 2, ...) of [s] blob until
// it is killed. It reports its first successful write through a pipe.
Writer startWriter(const std::string& file, uint64_t id) {
  int fds[2];
  if (::pipe(fds) != 0) return {};
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    ::close(fds[0]);
    ProfileStore store;
    bool told = false;
    for (uint64_t i = 1;; ++i) {
      const uint64_t n = id * 1000000000ull + i;
      // A failed write exits with 32 + its status, for the test to name.
      Status status = Status::Ok;
      if (store.writeString("s", "blob", versionValue(n), file, status) != 1) {
        ::_exit(32 + static_cast<int>(status));
      }
      if (!told) {
        const char c = 'w';
        if (::write(fds[1], &c, 1) != 1) ::_exit(4);
        told = true;
      }
    }
  }
  ::close(fds[1]);
  return {pid, fds[0]};
}

bool waitReady(const Writer& w) {
  pollfd p{w.readyFd, POLLIN, 0};
  if (::poll(&p, 1, 20000) != 1) return false;
  char c = 0;
  return ::read(w.readyFd, &c, 1) == 1;
}

// Kills the writer: "" when it was still running, else how it had ended.
std::string killWriter(Writer& w) {
  ::kill(w.pid, SIGKILL);
  int status = 0;
  ::waitpid(w.pid, &status, 0);
  ::close(w.readyFd);
  if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) return "";
  return WIFEXITED(status) ? "exit status " + std::to_string(WEXITSTATUS(status))
                           : "signal " + std::to_string(WTERMSIG(status));
}

TEST(StoreCrash, KilledWritersLeaveOneCompleteVersion) {
  zt::TempDir dir;
  const std::string file = dir.file("f.ini");
  const std::string temp = ".f.ini.zdv-tmp.*";
  const std::string head = "; crash test\r\n[s]\r\nblob=";
  const std::string tail = "\r\nafter=tail\r\n\r\n[t]\r\nx=1\r\n";
  zt::writeFile(file, head + versionValue(0) + tail);

  // 100 rounds of 2 writers each: 200 writers killed, at moments drawn
  // from a fixed seed.
  std::mt19937 random(12345);
  std::set<uint64_t> seen;
  int lingering = 0;
  int killed = 0;
  constexpr int kRounds = 100;
  constexpr uint64_t kWritersPerRound = 2;
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    std::vector<Writer> writers;
    for (uint64_t id = 1; id <= kWritersPerRound; ++id) {
      writers.push_back(
          startWriter(file, id + kWritersPerRound * static_cast<uint64_t>(round)));
    }
    for (const Writer& w : writers) ASSERT_GE(w.pid, 0);
    for (const Writer& w : writers) EXPECT_TRUE(waitReady(w)) << "a writer never wrote";
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
    for (Writer& w : writers) {
      const std::string ended = killWriter(w);
      EXPECT_EQ(ended, "") << "a writer failed before the kill (32 + its status)";
      killed += ended.empty() ? 1 : 0;
    }

    // Exactly one complete version, in the file's own layout.
    const std::string bytes = zt::readFile(file);
    ASSERT_GT(bytes.size(), head.size() + tail.size());
    ASSERT_EQ(bytes.substr(0, head.size()), head) << "torn or rewritten head";
    ASSERT_EQ(bytes.substr(bytes.size() - tail.size()), tail) << "torn tail";
    const auto version =
        versionOf(bytes.substr(head.size(), bytes.size() - head.size() - tail.size()));
    ASSERT_TRUE(version.has_value()) << "the value is not one complete version";
    seen.insert(*version);
    // The store reads it as that version.
    ProfileStore reader;
    EXPECT_TRUE(readValue(reader, "s", "blob", file) == versionValue(*version));
    EXPECT_EQ(readValue(reader, "s", "after", file), "tail");
    EXPECT_EQ(readValue(reader, "t", "x", file), "1");

    // At most the one temporary file of this target.
    const std::string names = listing(dir.path());
    if (names != "f.ini") {
      EXPECT_EQ(names, temp + " f.ini");
      ++lingering;
    }
    // Every other round, a write of our own clears any leftover; the others
    // leave it to the next round's writers.
    if (round % 2 == 1) {
      ProfileStore own;
      const uint64_t mine = 900000 + static_cast<uint64_t>(round);
      ASSERT_EQ(own.writeString("s", "blob", versionValue(mine), file), 1);
      EXPECT_EQ(listing(dir.path()), "f.ini");
      EXPECT_TRUE(zt::readFile(file) == head + versionValue(mine) + tail);
    }
  }
  EXPECT_EQ(killed, kRounds * static_cast<int>(kWritersPerRound));
  // The writers did get to write (the file moved on from version 0).
  EXPECT_GT(seen.size(), 1u);
  EXPECT_EQ(seen.count(0), 0u);
  // A final write clears whatever is left.
  ProfileStore own;
  ASSERT_EQ(own.writeString("t", "x", "2", file), 1);
  EXPECT_EQ(zt::listFolder(dir.path()), "f.ini");
  RecordProperty("rounds_with_leftover_temporary", lingering);
  RecordProperty("distinct_versions_seen", static_cast<int>(seen.size()));
}

TEST(StoreCrash, CrashBeforeEachStepOfAWriteLeavesOldOrNewFile) {
  // A child process dies just before the kth file-system call of one
  // write, for every k: the old or the new file, nothing in between. A file
  // with a second hard link is overwritten in place: there the file may be
  // torn on disk right after the crash, and the next read must finish the
  // overwrite (or find it not begun) and see the old or the new version.
  const std::string head = "[s]\r\nblob=";
  const std::string tail = "\r\n";
  enum class Kind { Existing, New, Linked };
  for (const Kind kind : {Kind::Existing, Kind::New, Kind::Linked}) {
    const bool exists = kind != Kind::New;
    const bool linked = kind == Kind::Linked;
    SCOPED_TRACE(kind == Kind::Existing ? "existing file"
                 : kind == Kind::New    ? "new file"
                                        : "file with a second hard link");
    int tornOnDisk = 0;
    for (int k = 1;; ++k) {
      ASSERT_LT(k, 400) << "the write never completed";
      SCOPED_TRACE("crash before call " + std::to_string(k));
      zt::TempDir dir;
      const std::string file = dir.file("f.ini");
      const std::string other = dir.file("g.ini");
      const std::string before = head + versionValue(1) + tail;
      if (exists) zt::writeFile(file, before);
      if (linked) {
        ASSERT_EQ(::link(file.c_str(), other.c_str()), 0);
      }
      const std::string plain = linked ? "f.ini g.ini" : "f.ini";
      // What the write produces when nothing interrupts it.
      std::string after;
      {
        zt::TempDir ref;
        if (exists) zt::writeFile(ref.file("f.ini"), before);
        ProfileStore refStore;
        ASSERT_EQ(refStore.writeString("s", "blob", versionValue(2), ref.file("f.ini")), 1);
        after = zt::readFile(ref.file("f.ini"));
      }
      const pid_t pid = ::fork();
      if (pid == 0) {
        auto fs = std::make_shared<zt::FaultyFileSystem>();
        // Several write calls per copy, so that crashes fall between them.
        fs->setMaxWriteChunk(16384);
        int calls = 0;
        fs->setHook([&](zt::FsOp, const std::string&) {
          if (++calls == k) ::_exit(77);
        });
        ProfileStore store(fs);
        ::_exit(store.writeString("s", "blob", versionValue(2), file) == 1 ? 0 : 1);
      }
      ASSERT_GT(pid, 0);
      int status = 0;
      ASSERT_EQ(::waitpid(pid, &status, 0), pid);
      ASSERT_TRUE(WIFEXITED(status));
      const int code = WEXITSTATUS(status);
      ASSERT_TRUE(code == 0 || code == 77) << "the write failed: " << code;
      const std::string left = listing(dir.path());
      // The journal of a file overwritten in place stays once made.
      const std::string journaled = ".f.ini.zdv-journal " + plain;
      if (linked) {
        const std::string now = zt::readFile(file);
        if (now != before && now != after) ++tornOnDisk;
        EXPECT_TRUE(left == plain || left == journaled) << left;
      }
      ProfileStore reader;
      if (zt::fileExists(file)) {
        const auto seen = versionOf(readValue(reader, "s", "blob", file));
        ASSERT_TRUE(seen == 1u || seen == 2u) << "the read saw neither version";
        // The read repaired a torn file on disk to what it saw.
        const std::string now = zt::readFile(file);
        EXPECT_TRUE(now == after || (exists && now == before))
            << "neither version, " << now.size() << " bytes";
        EXPECT_EQ(*seen, now == before ? 1u : 2u);
        if (linked) {
          EXPECT_TRUE(zt::readFile(other) == now) << "the hard link was detached";
          const std::string read = listing(dir.path());
          EXPECT_TRUE(read == plain || read == journaled) << read;
        } else {
          EXPECT_TRUE(left == plain || left == ".f.ini.zdv-tmp.* f.ini") << left;
        }
      } else {
        EXPECT_FALSE(exists) << "the file vanished";
        EXPECT_TRUE(left.empty() || left == ".f.ini.zdv-tmp.*") << left;
      }
      if (code == 0) {
        EXPECT_TRUE(zt::readFile(file) == after);
        EXPECT_EQ(left, linked ? journaled : plain);
        break;
      }
      // The next write clears the leftovers.
      ASSERT_EQ(reader.writeString("s", "blob", versionValue(3), file), 1);
      EXPECT_EQ(zt::listFolder(dir.path()), linked ? journaled : plain);
      EXPECT_EQ(versionOf(readValue(reader, "s", "blob", file)).value_or(0), 3u);
      if (linked) {
        EXPECT_TRUE(zt::readFile(other) == zt::readFile(file));
      }
    }
    // The crashes did catch overwrites half done, which the reads finished.
    if (linked) {
      EXPECT_GT(tornOnDisk, 0);
    }
  }
}

// A file with a second hard link, as a stopped in-place write may leave it.
struct LinkedFile {
  zt::TempDir dir;
  zt::TempDir shadow;  // the power-loss model's records
  std::string file = dir.file("f.ini");
  explicit LinkedFile(uint64_t version) {
    zt::writeFile(file, content(version));
    ::link(file.c_str(), dir.file("g.ini").c_str());
  }
  static std::string content(uint64_t version) {
    return "[s]\r\nblob=" + versionValue(version) + "\r\n";
  }
};

// Writes `version` (or, with 0, reads) in a child stopped before its kth
// file-system call; with a model, the power goes too (only what was synced
// stays). 0: done, 1: the write failed, 77: stopped.
int stoppedAt(int k, const std::string& file, uint64_t version, const zt::PowerLossModel* model) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    auto fs = std::make_shared<zt::FaultyFileSystem>();
    fs->setMaxWriteChunk(16384);  // several calls per copy
    if (model) model->record(*fs);
    int calls = 0;
    fs->setHook([&](zt::FsOp, const std::string&) {
      if (++calls == k) ::_exit(77);
    });
    ProfileStore store(fs);
    if (version == 0) ::_exit(versionOf(readValue(store, "s", "blob", file)) ? 0 : 1);
    ::_exit(store.writeString("s", "blob", versionValue(version), file) == 1 ? 0 : 1);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (model) model->loseUnsynced();
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::optional<uint64_t> readVersion(const std::string& file) {
  ProfileStore fresh;
  return versionOf(readValue(fresh, "s", "blob", file));
}

TEST(StoreCrash, EveryStopOfAnInPlaceWriteAndOfItsRecoveryResolvesToOldOrNew) {
  // The first writer (version 1 to 2) is stopped before each of its calls
  // in turn, and in a second pass the power goes with it. Wherever a stop
  // left the file torn on disk, the recovery is stopped before each of its
  // calls in turn: a second writer's (version 3), also with the power
  // going, and a reader's (which repairs the file); and a hand edit made
  // after the crash is tried. After every stop a fresh read sees one whole
  // version, and later ones the same; a write that returned has its
  // version; a hand edit is never undone.
  int stops = 0;
  int tornStops = 0;
  for (const bool power : {false, true}) {
    for (int k = 1;; ++k) {
      ASSERT_LT(k, 400) << "the write never completed";
      SCOPED_TRACE(std::string(power ? "power lost" : "stopped") + " before call " +
                   std::to_string(k));
      LinkedFile f(1);
      const zt::PowerLossModel model(f.dir.path(), f.shadow.path());
      const int code = stoppedAt(k, f.file, 2, power ? &model : nullptr);
      ++stops;
      ASSERT_TRUE(code == 0 || code == 77) << "the write failed: " << code;
      const std::string disk = zt::readFile(f.file);
      const bool torn = disk != LinkedFile::content(1) && disk != LinkedFile::content(2);
      const auto seen = readVersion(f.file);
      ASSERT_TRUE(seen == 1u || seen == 2u) << "the read saw no whole version";
      EXPECT_EQ(readVersion(f.file), seen) << "a second read saw another version";
      if (code == 0) {
        EXPECT_EQ(*seen, 2u) << "an acknowledged write was lost";
        break;
      }
      if (!torn) continue;
      ++tornStops;
      // Writer stopped and reader stopped for every torn stop; the power
      // lost during recovery for the first (it costs a model per call).
      for (const int mode : {0, 2, 1}) {  // writer stopped, reader stopped, power lost
        if (mode == 1 && tornStops > 1) continue;
        for (int j = 1;; ++j) {
          ASSERT_LT(j, 400) << "the recovery never completed";
          SCOPED_TRACE("recovery mode " + std::to_string(mode) + " stopped before call " +
                       std::to_string(j));
          LinkedFile g(1);
          ASSERT_EQ(stoppedAt(k, g.file, 2, nullptr), 77);
          const zt::PowerLossModel model2(g.dir.path(), g.shadow.path());
          const int code2 = stoppedAt(j, g.file, mode == 2 ? 0 : 3, mode == 1 ? &model2 : nullptr);
          ++stops;
          ASSERT_TRUE(code2 == 0 || code2 == 77) << "the recovery failed: " << code2;
          const auto seen2 = readVersion(g.file);
          ASSERT_TRUE(seen2 == seen || (mode != 2 && seen2 == 3u)) << "no whole version";
          if (code2 == 0) {
            const uint64_t expected = mode == 2 ? *seen : 3u;
            EXPECT_EQ(*seen2, expected) << "the recovery's outcome was lost";
            EXPECT_EQ(zt::readFile(g.file), LinkedFile::content(expected));
            EXPECT_EQ(zt::readFile(g.dir.file("g.ini")), LinkedFile::content(expected));
            break;
          }
        }
      }
      // A hand edit of the torn file after the crash stands.
      LinkedFile h(1);
      ASSERT_EQ(stoppedAt(k, h.file, 2, nullptr), 77);
      {
        const int fd = ::open(h.file.c_str(), O_WRONLY | O_TRUNC);
        ASSERT_GE(fd, 0);
        const std::string edit = "[s]\nblob=by hand\n";
        ASSERT_EQ(::write(fd, edit.data(), edit.size()), static_cast<ssize_t>(edit.size()));
        ::close(fd);
      }
      ProfileStore after;
      EXPECT_EQ(readValue(after, "s", "blob", h.file), "by hand");
      ASSERT_EQ(after.writeString("s", "more", "1", h.file), 1);
      EXPECT_EQ(zt::readFile(h.file), "[s]\nblob=by hand\nmore=1\n");
    }
  }
  EXPECT_GT(tornStops, 0) << "no stop caught the file torn on disk";
  RecordProperty("stop_points", stops);
  RecordProperty("torn_stops", tornStops);
}

TEST(StoreCrash, PowerLostDuringOrAfterAReplaceLeavesAWholeVersion) {
  // A file with one link goes by rename. With the power lost before any
  // call of the write, the file holds one whole version. A write is
  // durable once its folder is synced by anyone (here a flush of another
  // file of the folder): then the new version, whole, because its copy was
  // synced before it was renamed.
  for (int k = 1;; ++k) {
    ASSERT_LT(k, 400) << "the write never completed";
    SCOPED_TRACE("power lost before call " + std::to_string(k));
    zt::TempDir dir, shadow;
    const std::string file = dir.file("f.ini");
    zt::writeFile(file, LinkedFile::content(1));
    const zt::PowerLossModel model(dir.path(), shadow.path());
    const int code = stoppedAt(k, file, 2, &model);
    ASSERT_TRUE(code == 0 || code == 77) << "the write failed: " << code;
    const auto seen = readVersion(file);
    ASSERT_TRUE(seen == 1u || seen == 2u) << "no whole version after the power loss";
    if (code == 0) break;
  }
  zt::TempDir dir, shadow;
  const std::string file = dir.file("f.ini");
  zt::writeFile(file, LinkedFile::content(1));
  zt::writeFile(dir.file("other.ini"), "[o]\n");
  const zt::PowerLossModel model(dir.path(), shadow.path());
  const pid_t pid = ::fork();
  if (pid == 0) {
    auto fs = std::make_shared<zt::FaultyFileSystem>();
    model.record(*fs);
    ProfileStore store(fs);
    const bool ok = store.writeString("s", "blob", versionValue(2), file) == 1;
    store.writeString(std::nullopt, std::nullopt, std::nullopt, dir.file("other.ini"));
    ::_exit(ok ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  model.loseUnsynced();
  EXPECT_TRUE(zt::readFile(file) == LinkedFile::content(2)) << "the write was lost or torn";
}

TEST(StoreCrash, KilledInPlaceWritersShowAConcurrentReaderNoTornRead) {
  // Two writers of a file with a second hard link are killed at random
  // moments, 60 rounds, while a reader process reads it without pause: no
  // read may see a torn version, and after each round a fresh read sees
  // one whole version, which the next write starts from.
  LinkedFile f(0);
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  const pid_t reader = ::fork();
  if (reader == 0) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    ::close(fds[0]);
    uint64_t reads = 0;
    uint64_t torn = 0;
    ProfileStore longLived;
    for (;; ++reads) {
      ProfileStore fresh;
      ProfileStore& r = reads % 2 == 0 ? longLived : fresh;
      if (!versionOf(readValue(r, "s", "blob", f.file))) ++torn;
      if (::getppid() == 1 || ::access((f.dir.path() + "/stop").c_str(), F_OK) == 0) break;
    }
    const std::string report = std::to_string(reads) + " " + std::to_string(torn);
    ::_exit(::write(fds[1], report.data(), report.size()) > 0 ? 0 : 1);
  }
  ::close(fds[1]);
  std::mt19937 random(2468);
  for (int round = 0; round < 60; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    std::vector<Writer> writers;
    for (uint64_t id = 1; id <= 2; ++id) writers.push_back(startWriter(f.file, id + 2 * round));
    for (const Writer& w : writers) EXPECT_TRUE(waitReady(w)) << "a writer never wrote";
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
    for (Writer& w : writers) EXPECT_EQ(killWriter(w), "") << "a writer failed before the kill";
    ASSERT_TRUE(readVersion(f.file).has_value()) << "a fresh read saw no whole version";
  }
  zt::writeFile(f.dir.file("stop"), "");
  std::string report(64, '\0');
  const ssize_t n = ::read(fds[0], report.data(), report.size());
  ::close(fds[0]);
  int status = 0;
  ::waitpid(reader, &status, 0);
  ASSERT_GT(n, 0);
  std::istringstream in(report.substr(0, static_cast<std::size_t>(n)));
  uint64_t reads = 0;
  uint64_t torn = 0;
  in >> reads >> torn;
  EXPECT_EQ(torn, 0u) << "of " << reads << " reads";
  EXPECT_GT(reads, 100u);
  RecordProperty("concurrent_reads", static_cast<int>(reads));
  // A last write repairs the disk, for both names.
  ProfileStore own;
  ASSERT_EQ(own.writeString("s", "blob", "done", f.file), 1);
  EXPECT_EQ(zt::readFile(f.dir.file("g.ini")), "[s]\r\nblob=done\r\n");
}

TEST(StoreCrash, ReadersNeverSeeAnOverwriteInPlaceHalfDone) {
  // A file with a second hard link is overwritten in place, in 16 KB
  // writes, by another process, 200 times with values of one size; readers
  // without any lock (a long-lived store on file times coarsened to 20 ms
  // ticks, and a fresh store each time) must see only whole versions, never
  // an older one than before.
  zt::TempDir dir;
  const std::string file = dir.file("f.ini");
  const std::string other = dir.file("g.ini");
  zt::writeFile(file, "[s]\r\nblob=" + versionValue(100000) + "\r\n");
  ASSERT_EQ(::link(file.c_str(), other.c_str()), 0);
  constexpr uint64_t kLast = 100200;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    auto fs = std::make_shared<zt::FaultyFileSystem>();
    fs->setMaxWriteChunk(16384);
    ProfileStore store(fs);
    for (uint64_t n = 100001; n <= kLast; ++n) {
      // A failed write exits with 32 + its status, for the test to name.
      Status status = Status::Ok;
      if (store.writeString("s", "blob", versionValue(n), file, status) != 1) {
        ::_exit(32 + static_cast<int>(status));
      }
    }
    ::_exit(0);
  }
  ASSERT_GT(pid, 0);
  auto coarse = std::make_shared<zt::FaultyFileSystem>();
  coarse->setTimestampGranularity(20'000'000);
  ProfileStore longLived(coarse);
  uint64_t last = 0;
  int reads = 0;
  for (;; ++reads) {
    int status = 0;
    const bool done = ::waitpid(pid, &status, WNOHANG) == pid;
    ProfileStore fresh;
    ProfileStore& reader = reads % 2 == 0 ? longLived : fresh;
    const auto version = versionOf(readValue(reader, "s", "blob", file));
    ASSERT_TRUE(version.has_value()) << "read " << reads << " saw no whole version";
    EXPECT_GE(*version, last) << "read " << reads << " went back";
    last = *version;
    if (done) {
      ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the writer failed";
      break;
    }
  }
  EXPECT_EQ(last, kLast);
  EXPECT_TRUE(zt::readFile(other) == zt::readFile(file));
  EXPECT_EQ(zt::listFolder(dir.path()), ".f.ini.zdv-journal f.ini g.ini");
  RecordProperty("reads", reads);
}

TEST(StoreCrash, LeftoverTemporaryIsNeitherReadNorKept) {
  // A temporary file as a crash leaves it: half written, perhaps garbage.
  zt::TempDir dir;
  const std::string file = dir.file("g.ini");
  zt::writeFile(file, "[s]\nk=real\n");
  zt::writeFile(dir.file(".g.ini.zdv-tmp"), "[s]\nk=torn ha");
  ProfileStore store;
  EXPECT_EQ(readValue(store, "s", "k", file), "real");
  EXPECT_EQ(store.writeString("s", "other", "1", file), 1);
  EXPECT_EQ(zt::listFolder(dir.path()), "g.ini");
  ProfileStore fresh;
  EXPECT_EQ(readValue(fresh, "s", "k", file), "real");
  EXPECT_EQ(readValue(fresh, "s", "other", file), "1");
  // Also when the leftover is read-only; the next process's first write
  // of the file removes it (a running one looks when a writer's lock file
  // stayed, and after 1024 writes).
  zt::writeFile(dir.file(".g.ini.zdv-tmp"), "garbage");
  ASSERT_EQ(::chmod(dir.file(".g.ini.zdv-tmp").c_str(), 0444), 0);
  ProfileStore next;
  EXPECT_EQ(next.writeString("s", "other", "2", file), 1);
  EXPECT_EQ(zt::listFolder(dir.path()), "g.ini");
  EXPECT_EQ(readValue(fresh, "s", "other", file), "2");
}

TEST(StoreCrash, KilledCreatorsLeaveNoFileOrAWholeOne) {
  // The file does not exist at first: after a kill it is either still
  // missing or a complete file as one write creates it.
  std::mt19937 random(777);
  int created = 0;
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    zt::TempDir dir;
    const std::string file = dir.file("new.ini");
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::prctl(PR_SET_PDEATHSIG, SIGKILL);
      ProfileStore store;
      // Create, then keep replacing with further versions.
      for (uint64_t i = 1;; ++i) {
        if (store.writeString("s", "blob", versionValue(i), file) != 1) ::_exit(3);
      }
    }
    ASSERT_GT(pid, 0);
    // Every other round, the kill comes only after the file was created.
    if (round % 2 == 1) {
      for (int wait = 0; wait < 20000 && !zt::fileExists(file); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    }
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 8000));
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status)) << "the writer failed on its own";
    const std::string left = listing(dir.path());
    if (!zt::fileExists(file)) {
      EXPECT_TRUE(left.empty() || left == ".new.ini.zdv-tmp.*") << left;
      continue;
    }
    ++created;
    EXPECT_TRUE(left == "new.ini" || left == ".new.ini.zdv-tmp.* new.ini") << left;
    ProfileStore reader;
    const auto version = versionOf(readValue(reader, "s", "blob", file));
    ASSERT_TRUE(version.has_value());
    // Byte for byte what a single write of that version creates.
    zt::TempDir ref;
    ProfileStore refStore;
    ASSERT_EQ(refStore.writeString("s", "blob", versionValue(*version), ref.file("new.ini")), 1);
    EXPECT_EQ(zt::readFile(file), zt::readFile(ref.file("new.ini")));
    ASSERT_EQ(reader.writeString("s", "blob", "done", file), 1);
    EXPECT_EQ(zt::listFolder(dir.path()), "new.ini");
  }
  EXPECT_GT(created, 0) << "no writer ever got to create the file";
}

}  // namespace
