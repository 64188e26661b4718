// Writes and reads of the profile store when the file system fails: a full
// disk or an I/O error at any step of a write must leave the original file
// byte for byte, report failure and leave no temporary file behind; a read
// that fails gives the default and is not remembered as an empty file. Each
// failure keeps its cause as the store's status, and reaches the C functions
// and the classes through the file system installed for the process.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "services/services.h"
#include "store/profile_store.h"
#include "support/faulty_file_system.h"
#include "support/test_files.h"
#include "zidevuv10/library.h"
#include "zidevuv10/main_class.h"
#include "zidevuv10/profile.h"

namespace {

namespace zt = zidevuv10::testing;
using zidevuv10::store::OptText;
using zidevuv10::store::ProfileStore;
using zidevuv10::store::Status;
using zt::FaultyFileSystem;
using zt::FsOp;

constexpr const char* kDefault = "<default>";

std::string get(ProfileStore& store, const char* section, const char* key,
                const std::string& file) {
  std::vector<char> buf(4096, 'X');
  const uint32_t n = store.getString(section, key, kDefault, buf, file);
  return std::string(buf.data(), n);
}

// CRLF, comments, blanks and spacing: a rewrite must keep all of it.
const std::string kOriginal =
    "; kept comment\r\n[main]\r\nname = old value\r\ncount=1\r\n\r\n[other]\r\nx=y\r\n";

struct Change {
  const char* what;
  std::function<int32_t(ProfileStore&, const std::string&)> apply;
};

std::vector<Change> changes() {
  return {
      {"change a value",
       [](ProfileStore& s, const std::string& f) {
         return s.writeString("main", "name", "new value", f);
       }},
      {"add a key",
       [](ProfileStore& s, const std::string& f) { return s.writeString("main", "added", "1", f); }},
      {"add a section",
       [](ProfileStore& s, const std::string& f) { return s.writeString("third", "k", "v", f); }},
      {"delete a key",
       [](ProfileStore& s, const std::string& f) {
         return s.writeString("main", "count", std::nullopt, f);
       }},
      {"delete a section",
       [](ProfileStore& s, const std::string& f) {
         return s.writeString("other", std::nullopt, std::nullopt, f);
       }},
      {"replace a section",
       [](ProfileStore& s, const std::string& f) {
         return s.writeSection("main", std::string_view("a=1\0b=2\0\0", 9), f);
       }},
  };
}

// What the change produces from `before` when nothing fails.
std::string expectedAfter(const Change& change, const std::string& before, bool exists) {
  zt::TempDir dir;
  const std::string file = dir.file("ref.ini");
  if (exists) zt::writeFile(file, before);
  ProfileStore store;
  EXPECT_EQ(change.apply(store, file), 1) << change.what;
  return zt::readFile(file);
}

std::string errnoName(int e) { return e == ENOSPC ? "ENOSPC" : e == EIO ? "EIO" : std::to_string(e); }

// Runs `change` once per k with the kth file-system call failing, until a
// run meets no fault. Each failed run must leave the folder as it was (or,
// when the failure came after the file was replaced, hold the new file);
// every run ends with only the target in the folder.
void sweepAnyStep(const Change& change, bool fileExists, int error) {
  SCOPED_TRACE(std::string(change.what) + (fileExists ? ", existing file, " : ", new file, ") +
               errnoName(error));
  const std::string after = expectedAfter(change, kOriginal, fileExists);
  int refused = 0;
  for (int k = 1;; ++k) {
    ASSERT_LT(k, 400) << "the write never completed";
    zt::TempDir dir;
    const std::string file = dir.file("f.ini");
    if (fileExists) {
      zt::writeFile(file, kOriginal);
      ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    }
    auto fs = std::make_shared<FaultyFileSystem>();
    ProfileStore store(fs);
    fs->failStep(k, error);
    const int32_t rc = change.apply(store, file);
    const bool hit = fs->faultHit();
    const std::string where = hit ? fs->failures().front() : std::string("nothing");
    SCOPED_TRACE("step " + std::to_string(k) + " failed: " + where);
    if (!hit) {
      EXPECT_EQ(rc, 1);
      EXPECT_EQ(zt::readFile(file), after);
      EXPECT_EQ(zt::listFolder(dir.path()), "f.ini");
      if (fileExists) {
        struct stat st {};
        ASSERT_EQ(::stat(file.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0640u) << "the replaced file lost its permissions";
      }
      EXPECT_GT(refused, 0) << "no failure ever made the write fail";
      return;
    }
    // A write that reports failure never leaves its new version in place:
    // the rename is its last step.
    if (rc == 0) {
      ++refused;
      if (fileExists) {
        EXPECT_EQ(zt::readFile(file), kOriginal);
        EXPECT_EQ(zt::listFolder(dir.path()), "f.ini");
        struct stat st {};
        ASSERT_EQ(::stat(file.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
        // The failed write left nothing behind in the store either.
        fs->reset();
        EXPECT_EQ(get(store, "main", "name", file), "old value");
      } else {
        EXPECT_EQ(zt::listFolder(dir.path()), "");
      }
    } else {
      EXPECT_EQ(rc, 1);
      EXPECT_EQ(zt::readFile(file), after);
      // A lock file that could not be removed stays for the next write.
      const bool lockKept = where.rfind("unlink", 0) == 0 && where.ends_with(".zdv-lock");
      EXPECT_EQ(zt::listFolder(dir.path()), lockKept ? ".f.ini.zdv-lock f.ini" : "f.ini");
    }
    // With the file system healthy again, the same store writes normally.
    fs->reset();
    EXPECT_EQ(store.writeString("later", "k", "v", file), 1);
    EXPECT_EQ(get(store, "later", "k", file), "v");
    ProfileStore fresh;
    EXPECT_EQ(get(fresh, "later", "k", file), "v");
    EXPECT_EQ(zt::listFolder(dir.path()), "f.ini");
    if (::testing::Test::HasFatalFailure()) return;
  }
}

TEST(StoreFaultsAnyStep, ExistingFileSurvivesAFailureAtEveryStep) {
  for (int error : {ENOSPC, EIO}) {
    for (const Change& c : changes()) sweepAnyStep(c, true, error);
  }
}

TEST(StoreFaultsAnyStep, NewFileIsNotCreatedWhenAnyStepFails) {
  const Change create{"create", [](ProfileStore& s, const std::string& f) {
                        return s.writeString("s", "k", "v", f);
                      }};
  const Change createSection{"create by section", [](ProfileStore& s, const std::string& f) {
                               return s.writeSection("s", std::string_view("a=1\0b=2\0\0", 9), f);
                             }};
  for (int error : {ENOSPC, EIO}) {
    sweepAnyStep(create, false, error);
    sweepAnyStep(createSection, false, error);
  }
}

TEST(StoreFaultsAnyStep, OverwriteInPlaceSurvivesAFailureAtEveryStep) {
  // A file with a second hard link is overwritten in place. Failing any
  // call of the write must leave both names holding the old version, or
  // (when the failure came after the overwrite was done) the new one;
  // never a torn file; a write that reported failure is never seen, and
  // the next write cleans up.
  for (int error : {ENOSPC, EIO}) {
    SCOPED_TRACE(errnoName(error));
    const std::vector<Change> all = changes();
    const Change& change = all.front();
    const std::string after = expectedAfter(change, kOriginal, true);
    int refused = 0;
    for (int k = 1;; ++k) {
      ASSERT_LT(k, 400) << "the write never completed";
      zt::TempDir dir;
      const std::string file = dir.file("f.ini");
      const std::string other = dir.file("g.ini");
      zt::writeFile(file, kOriginal);
      ASSERT_EQ(::link(file.c_str(), other.c_str()), 0);
      auto fs = std::make_shared<FaultyFileSystem>();
      ProfileStore store(fs);
      fs->setMaxWriteChunk(16);
      fs->failStep(k, error);
      const int32_t rc = change.apply(store, file);
      const bool hit = fs->faultHit();
      SCOPED_TRACE("step " + std::to_string(k) + " failed: " +
                   (hit ? fs->failures().front() : std::string("nothing")));
      const std::string now = zt::readFile(file);
      EXPECT_TRUE(now == kOriginal || now == after) << "torn: " << now;
      EXPECT_TRUE(zt::readFile(other) == now);
      if (rc == 1) {
        EXPECT_TRUE(now == after);
      } else {
        ++refused;
      }
      fs->reset();
      ProfileStore fresh;
      // A write that reported failure never shows, not even from the disk.
      EXPECT_EQ(get(fresh, "main", "name", file), rc == 1 ? "new value" : "old value");
      EXPECT_EQ(store.writeString("later", "k", "v", file), 1);
      EXPECT_EQ(get(fresh, "later", "k", file), "v");
      EXPECT_EQ(get(fresh, "main", "name", file), rc == 1 ? "new value" : "old value");
      EXPECT_TRUE(zt::readFile(other) == zt::readFile(file));
      EXPECT_EQ(zt::listFolder(dir.path()), ".f.ini.zdv-journal f.ini g.ini");
      if (!hit) {
        EXPECT_EQ(rc, 1);
        EXPECT_GT(refused, 0) << "no failure ever made the write fail";
        break;
      }
      if (::testing::Test::HasFatalFailure()) return;
    }
  }
}

// Each step of replacing the file, failed at every call of that kind: the
// write must report failure, since the new file is not in place.
struct ReplaceStep {
  FsOp op;
  const char* pathPart;
};

void sweepReplaceStep(const ReplaceStep& step, bool fileExists, int error, std::size_t chunk) {
  SCOPED_TRACE(std::string(zt::fsOpName(step.op)) + (fileExists ? ", existing file, " : ", new file, ") +
               errnoName(error) + ", write chunk " + std::to_string(chunk));
  const Change change = changes().front();
  const std::string after = expectedAfter(change, kOriginal, fileExists);
  int failures = 0;
  for (int n = 1;; ++n) {
    ASSERT_LT(n, 10000);
    zt::TempDir dir;
    const std::string file = dir.file("f.ini");
    if (fileExists) zt::writeFile(file, kOriginal);
    auto fs = std::make_shared<FaultyFileSystem>();
    ProfileStore store(fs);
    fs->setMaxWriteChunk(chunk);
    fs->failNth(step.op, n, error, step.pathPart);
    const int32_t rc = change.apply(store, file);
    SCOPED_TRACE("call " + std::to_string(n));
    if (!fs->faultHit()) {
      EXPECT_EQ(rc, 1);
      EXPECT_EQ(zt::readFile(file), after);
      EXPECT_EQ(zt::listFolder(dir.path()), "f.ini");
      break;
    }
    ++failures;
    EXPECT_EQ(rc, 0);
    if (fileExists) {
      EXPECT_EQ(zt::readFile(file), kOriginal);
      EXPECT_EQ(zt::listFolder(dir.path()), "f.ini");
    } else {
      EXPECT_EQ(zt::listFolder(dir.path()), "");
    }
    fs->reset();
    EXPECT_EQ(change.apply(store, file), 1);
    EXPECT_EQ(zt::readFile(file), after);
    EXPECT_EQ(zt::listFolder(dir.path()), "f.ini");
    if (::testing::Test::HasFatalFailure()) return;
  }
  EXPECT_GT(failures, 0) << "the step was never reached";
}

TEST(StoreFaultsReplaceSteps, FailureOfAnyReplaceStepReportsFailureAndKeepsOriginal) {
  const ReplaceStep steps[] = {
      {FsOp::Open, ".zdv-tmp"}, {FsOp::Write, ".zdv-tmp"}, {FsOp::Fchmod, ".zdv-tmp"},
      {FsOp::Fsync, ".zdv-tmp"}, {FsOp::Close, ".zdv-tmp"}, {FsOp::Rename, ".zdv-tmp"},
  };
  for (int error : {ENOSPC, EIO}) {
    for (const ReplaceStep& step : steps) {
      // Chunk 0: one write call; 5: many short writes, failed one by one.
      for (std::size_t chunk : {std::size_t{0}, std::size_t{5}}) {
        sweepReplaceStep(step, true, error, chunk);
        if (step.op != FsOp::Fchmod) sweepReplaceStep(step, false, error, chunk);
      }
    }
  }
}

// Each cause, and the last error profile.h lists for it.
TEST(StoreFaultsReplaceSteps, EachFailureKeepsItsCause) {
  struct Case {
    FsOp op;
    const char* pathPart;
    int error;
    Status cause;
    uint32_t lastError;
  };
  const Case cases[] = {
      {FsOp::Lock, "", ETIMEDOUT, Status::LockTimeout, 33},
      {FsOp::Write, ".zdv-tmp", ENOSPC, Status::DiskFull, 112},
      {FsOp::Fsync, ".zdv-tmp", EDQUOT, Status::DiskFull, 112},
      {FsOp::Open, ".zdv-tmp", EACCES, Status::AccessDenied, 5},
      {FsOp::Rename, ".zdv-tmp", EROFS, Status::AccessDenied, 5},
      {FsOp::Open, ".zdv-tmp", ENOMEM, Status::OutOfMemory, 8},
      {FsOp::Write, ".zdv-tmp", EIO, Status::WriteFault, 29},
      {FsOp::Read, "f.ini", EIO, Status::ReadFault, 30},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(zt::fsOpName(c.op)) + " " + errnoName(c.error));
    zt::TempDir dir;
    const std::string file = dir.file("f.ini");
    zt::writeFile(file, kOriginal);
    auto fs = std::make_shared<FaultyFileSystem>();
    ProfileStore store(fs);
    fs->failAlways(c.op, c.error, c.pathPart);
    Status status = Status::Ok;
    EXPECT_EQ(store.writeString("main", "name", "new", file, status), 0);
    EXPECT_EQ(status, c.cause);
    {
      zidevuv10::services::ScopedFileSystem installed(fs);
      EXPECT_EQ(WritePrivateProfileStringA("main", "name", "new", file.c_str()), 0);
      EXPECT_EQ(GetLastError(), c.lastError);
    }
    EXPECT_EQ(zt::readFile(file), kOriginal);
    fs->reset();
    EXPECT_EQ(store.writeString("main", "name", "new", file, status), 1);
    EXPECT_EQ(status, Status::Ok);
  }
}

TEST(StoreFaultsReplaceSteps, ShortWritesStillWriteTheWholeFile) {
  zt::TempDir dir;
  const std::string file = dir.file("f.ini");
  zt::writeFile(file, kOriginal);
  auto fs = std::make_shared<FaultyFileSystem>();
  fs->setMaxWriteChunk(1);
  ProfileStore store(fs);
  const std::string after = expectedAfter(changes().front(), kOriginal, true);
  EXPECT_EQ(changes().front().apply(store, file), 1);
  EXPECT_EQ(zt::readFile(file), after);
  EXPECT_GE(fs->calls(FsOp::Write), static_cast<int>(after.size()));
}

TEST(StoreFaultsReplaceSteps, LeftoverTemporaryFromAFailedWriteIsReplacedNotRead) {
  // A temporary file whose unlink failed is overwritten by the next write
  // and never mistaken for the profile.
  zt::TempDir dir;
  const std::string file = dir.file("f.ini");
  zt::writeFile(file, kOriginal);
  auto fs = std::make_shared<FaultyFileSystem>();
  ProfileStore store(fs);
  fs->failNth(FsOp::Rename, 1, EIO);
  fs->failNth(FsOp::Unlink, 1, EIO, ".zdv-tmp");
  EXPECT_EQ(store.writeString("main", "name", "lost", file), 0);
  EXPECT_EQ(zt::readFile(file), kOriginal);
  EXPECT_EQ(get(store, "main", "name", file), "old value");
  fs->reset();
  EXPECT_EQ(store.writeString("main", "count", "2", file), 1);
  EXPECT_EQ(zt::listFolder(dir.path()), "f.ini");
  ProfileStore fresh;
  EXPECT_EQ(get(fresh, "main", "name", file), "old value");
  EXPECT_EQ(get(fresh, "main", "count", file), "2");
}

// --- Flush ---------------------------------------------------------------------

TEST(StoreFaultsFlush, FlushSyncsTheFileAndItsFolder) {
  zt::TempDir dir;
  const std::string file = dir.file("f.ini");
  zt::writeFile(file, kOriginal);
  auto fs = std::make_shared<FaultyFileSystem>();
  ProfileStore store(fs);
  std::vector<std::string> synced;
  fs->setHook([&](FsOp op, const std::string& path) {
    if (op == FsOp::Fsync) synced.push_back(path);
  });
  EXPECT_EQ(store.writeString(std::nullopt, std::nullopt, std::nullopt, file), 0);
  fs->setHook(nullptr);
  EXPECT_NE(std::find(synced.begin(), synced.end(), file), synced.end()) << "file not synced";
  EXPECT_NE(std::find(synced.begin(), synced.end(), dir.path()), synced.end())
      << "folder not synced";
  EXPECT_EQ(zt::readFile(file), kOriginal);
  // The flush answers 0 whatever happens, as on Windows; sync, its form for
  // the command line, reports a failing sync.
  Status status = Status::Ok;
  EXPECT_EQ(store.sync(file, status), 1);
  fs->failAlways(FsOp::Fsync, EIO);
  EXPECT_EQ(store.sync(file, status), 0);
  EXPECT_EQ(status, Status::WriteFault);
  fs->reset();
  // Failing syncs and a missing file change nothing and create nothing.
  for (int error : {EIO, ENOSPC}) {
    fs->failAlways(FsOp::Fsync, error);
    EXPECT_EQ(store.writeString(std::nullopt, std::nullopt, std::nullopt, file), 0);
    EXPECT_EQ(store.writeSection(std::nullopt, std::nullopt, file), 0);
    EXPECT_EQ(store.writeString(std::nullopt, std::nullopt, std::nullopt, dir.file("none.ini")), 0);
    fs->reset();
  }
  EXPECT_EQ(zt::readFile(file), kOriginal);
  EXPECT_EQ(zt::listFolder(dir.path()), "f.ini");
}

// --- Reads -------------------------------------------------------------------

class StoreFaultsRead : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = dir_.file("r.ini");
    zt::writeFile(file_, "[s]\nk=real\nn=42\n[t]\nx=1\n");
  }
  zt::TempDir dir_;
  std::string file_;
};

TEST_F(StoreFaultsRead, ReadErrorGivesTheDefaultEverywhere) {
  for (FsOp op : {FsOp::Read, FsOp::Open, FsOp::Lstat}) {
    SCOPED_TRACE(zt::fsOpName(op));
    auto fs = std::make_shared<FaultyFileSystem>();
    ProfileStore store(fs);
    fs->failAlways(op, EIO, "r.ini");
    EXPECT_EQ(get(store, "s", "k", file_), kDefault);
    Status status = Status::Ok;
    EXPECT_EQ(store.getInt("s", "n", -7, file_, status), static_cast<uint32_t>(-7));
    EXPECT_EQ(status, Status::ReadFault);
    std::vector<char> buf(256, 'X');
    EXPECT_EQ(store.getSection("s", buf, file_), 0u);
    EXPECT_EQ(buf[0], '\0');
    EXPECT_EQ(store.getSectionNames(buf, file_), 0u);
    EXPECT_EQ(buf[0], '\0');
    EXPECT_TRUE(fs->faultHit());
    // A write needs the current content: it fails and changes nothing.
    EXPECT_EQ(store.writeString("s", "k", "changed", file_), 0);
    EXPECT_EQ(zt::readFile(file_), "[s]\nk=real\nn=42\n[t]\nx=1\n");
    EXPECT_EQ(zt::listFolder(dir_.path()), "r.ini");
  }
}

TEST_F(StoreFaultsRead, FailedReadIsNotRememberedAsAnEmptyFile) {
  auto fs = std::make_shared<FaultyFileSystem>();
  ProfileStore store(fs);
  fs->failNth(FsOp::Read, 1, EIO);
  EXPECT_EQ(get(store, "s", "k", file_), kDefault);
  EXPECT_TRUE(fs->faultHit());
  EXPECT_EQ(get(store, "s", "k", file_), "real");
  // A write after a failed read keeps every other key.
  fs->reset();
  fs->failNth(FsOp::Read, 1, EIO);
  EXPECT_EQ(store.writeString("s", "k", "new", file_), 0);
  EXPECT_EQ(store.writeString("s", "k", "new", file_), 1);
  ProfileStore fresh;
  EXPECT_EQ(get(fresh, "s", "k", file_), "new");
  EXPECT_EQ(get(fresh, "s", "n", file_), "42");
  EXPECT_EQ(get(fresh, "t", "x", file_), "1");
}

TEST_F(StoreFaultsRead, ReadErrorAfterTheFileWasCachedGivesNoStaleOrEmptyAnswer) {
  // The file is read once, then changed by someone else; when reading the
  // new version fails the store must not answer from the old one.
  auto fs = std::make_shared<FaultyFileSystem>();
  ProfileStore store(fs);
  EXPECT_EQ(get(store, "s", "k", file_), "real");
  zt::writeFile(file_, "[s]\nk=other and longer\n");
  fs->failAlways(FsOp::Read, EIO, "r.ini");
  EXPECT_EQ(get(store, "s", "k", file_), kDefault);
  fs->reset();
  EXPECT_EQ(get(store, "s", "k", file_), "other and longer");
}

TEST_F(StoreFaultsRead, LargeFileIsReadWholeAndAFailedReadGivesTheDefault) {
  // A large file read back whole.
  std::string big = "[s]\n";
  for (int i = 0; i < 20000; ++i) big += "key" + std::to_string(i) + "=value" + std::to_string(i) + "\n";
  zt::writeFile(file_, big);
  auto fs = std::make_shared<FaultyFileSystem>();
  ProfileStore store(fs);
  EXPECT_EQ(get(store, "s", "key19999", file_), "value19999");
  // A failed read gives the default, and the next call reads again.
  for (int n : {1}) {
    auto fs2 = std::make_shared<FaultyFileSystem>();
    ProfileStore store2(fs2);
    fs2->failNth(FsOp::Read, n, EIO, "r.ini");
    EXPECT_EQ(get(store2, "s", "key19999", file_), kDefault) << n;
    EXPECT_EQ(get(store2, "s", "key19999", file_), "value19999") << n;
  }
}

// --- the file system installed for the process ----------------------------

TEST(StoreFaultsInstalled, FaultsOfTheInstalledFileSystemReachTheCFunctionsAndTheClasses) {
  zt::TempDir dir;
  const std::string file = dir.file("installed.ini");
  zt::writeFile(file, kOriginal);
  auto fs = std::make_shared<FaultyFileSystem>();
  {
    const zidevuv10::services::ScopedFileSystem installed(fs);
    // A full disk while the new copy is written; no random name for the copy.
    fs->failNth(FsOp::Write, 1, ENOSPC, ".zdv-tmp");
    EXPECT_EQ(WritePrivateProfileStringA("main", "name", "new", file.c_str()), 0);
    EXPECT_EQ(GetLastError(), 112u);  // ERROR_DISK_FULL
    fs->failNth(FsOp::Random, 1, EIO);
    EXPECT_EQ(WritePrivateProfileStringA("main", "name", "new", file.c_str()), 0);
    EXPECT_EQ(GetLastError(), 29u);  // ERROR_WRITE_FAULT
    // A class's write, with the rename failing.
    fs->failAlways(FsOp::Rename, EIO);
    const auto main = zidevuv10::objectAs<zidevuv10::_clsOrviVEZEzoro10A>(
        zidevuv10::createObject(u"VEZEzoro10.clsOrviVEZEzoro10A"));
    zidevuv10::Text name = zidevuv10::Text::fromUtf8(file);
    zidevuv10::Text section(std::u16string(u"main")), key(std::u16string(u"name")),
        value(std::u16string(u"new"));
    EXPECT_EQ(main->WritePrivateProfileStringAddKeyInif(name, section, key, value), 0);
    EXPECT_EQ(fs->failures().size(), 3u);
    EXPECT_EQ(zt::readFile(file), kOriginal);
  }
  // Put back: the same write reaches the disk, and the faulty file system no more.
  const int seen = fs->totalCalls();
  EXPECT_EQ(WritePrivateProfileStringA("main", "name", "new", file.c_str()), 1);
  EXPECT_EQ(fs->totalCalls(), seen);
  char buffer[16] = {};
  EXPECT_EQ(GetPrivateProfileStringA("main", "name", "", buffer, sizeof buffer, file.c_str()), 3u);
  EXPECT_STREQ(buffer, "new");
}

}  // namespace
