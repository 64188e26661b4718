// Files and arguments nobody should pass, which the store must survive:
// NUL bytes and invalid UTF-8 in files, binary garbage, huge lines and
// files, folders and unreadable files where a profile is expected, empty
// and missing buffers, over-long paths and names, and invalid text in
// writes. Nothing may crash, write outside a buffer or damage a file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "store/profile_store.h"
#include "support/faulty_file_system.h"
#include "support/in_child.h"
#include "support/test_files.h"
#include "zidevuv10/profile.h"

namespace {

namespace zt = zidevuv10::testing;
using zidevuv10::store::Answer;
using zidevuv10::store::OptText;
using zidevuv10::store::ProfileStore;
using zidevuv10::store::Status;

constexpr const char* kDefault = "<default>";

std::string get(ProfileStore& store, OptText section, OptText key, const std::string& file,
                std::size_t size = 4096) {
  std::vector<char> buf(size);
  const uint32_t n = store.getString(section, key, kDefault, buf, file);
  return std::string(buf.data(), n);
}

// A literal with its embedded NULs.
template <std::size_t N>
std::string lit(const char (&s)[N]) {
  return std::string(s, N - 1);
}

// --- NUL bytes and invalid UTF-8 in files -------------------------------------

TEST(StoreBadInputFileBytes, NulBytesEndALineButAreKeptByWrites) {
  zt::TempDir dir;
  const std::string file = dir.file("nul.ini");
  const std::string original = lit("[s]\na=x\0y\nb=2\n[t]\nc=3\n");
  zt::writeFile(file, original);
  ProfileStore store;
  EXPECT_EQ(get(store, "s", "a", file), "x");
  EXPECT_EQ(get(store, "s", "b", file), "2");
  EXPECT_EQ(get(store, "t", "c", file), "3");
  EXPECT_EQ(store.writeString("n", "k", "v", file), 1);
  EXPECT_EQ(zt::readFile(file), original + "[n]\nk=v\n");
  EXPECT_EQ(store.writeString("s", "b", "22", file), 1);
  EXPECT_EQ(zt::readFile(file),
            lit("[s]\na=x\0y\nb=22\n[t]\nc=3\n[n]\nk=v\n"));
}

TEST(StoreBadInputFileBytes, InvalidUtf8IsReadAsLegacyTextAndKeptByWrites) {
  zt::TempDir dir;
  const std::string file = dir.file("latin.ini");
  const std::string original = "[s]\r\na=caf\xe9\r\nb=\xff\xfe\r\n";
  zt::writeFile(file, original);
  ProfileStore store;
  EXPECT_EQ(get(store, "s", "a", file), "caf\xc3\xa9");
  EXPECT_EQ(get(store, "s", "b", file), "\xc3\xbf\xc3\xbe");
  EXPECT_EQ(store.writeString("s", "c", "3", file), 1);
  EXPECT_EQ(zt::readFile(file), original + "c=3\r\n");
  // Text the legacy encoding holds is written in it.
  EXPECT_EQ(store.writeString("s", "d", "\xc3\xa9t\xc3\xa9", file), 1);
  EXPECT_EQ(zt::readFile(file), original + "c=3\r\nd=\xe9t\xe9\r\n");
  // Text it cannot hold turns the file into UTF-8 without losing a character.
  EXPECT_EQ(store.writeString("s", "e", "\xe6\x97\xa5", file), 1);
  ProfileStore fresh;
  EXPECT_EQ(get(fresh, "s", "a", file), "caf\xc3\xa9");
  EXPECT_EQ(get(fresh, "s", "b", file), "\xc3\xbf\xc3\xbe");
  EXPECT_EQ(get(fresh, "s", "d", file), "\xc3\xa9t\xc3\xa9");
  EXPECT_EQ(get(fresh, "s", "e", file), "\xe6\x97\xa5");
}

TEST(StoreBadInputFileBytes, BinaryLookingLegacyFileKeepsItsBytes) {
  zt::TempDir dir;
  const std::string file = dir.file("bin.ini");
  const std::string original = lit("[s]\na=\xff\0\xfe\x01\nb=2\n");
  zt::writeFile(file, original);
  ProfileStore store;
  EXPECT_EQ(get(store, "s", "a", file), "\xc3\xbf");
  EXPECT_EQ(get(store, "s", "b", file), "2");
  EXPECT_EQ(store.writeString("s", "c", "3", file), 1);
  const std::string withC = lit("[s]\na=\xff\0\xfe\x01\nb=2\nc=3\n");
  EXPECT_EQ(zt::readFile(file), withC);
  // Text the file's encoding cannot hold: a binary file is not converted.
  EXPECT_EQ(store.writeString("s", "d", "\xe6\x97\xa5", file), 0);
  EXPECT_EQ(zt::readFile(file), withC);
  EXPECT_EQ(zt::listFolder(dir.path()), "bin.ini");
}

// Reads of every kind with a guard zone after the buffer: the answer must
// fit, end with a NUL and leave the guard alone.
void readEverything(ProfileStore& store, const std::string& file) {
  std::vector<std::string> sections = {"s", "", " ", "zz"};
  {
    std::vector<char> names(1 << 16);
    const uint32_t n = store.getSectionNames(names, file);
    ASSERT_LT(n, names.size());
    for (std::size_t i = 0, start = 0; i < n && sections.size() < 12; ++i) {
      if (names[i] == '\0') {
        sections.emplace_back(names.data() + start, i - start);
        start = i + 1;
      }
    }
  }
  constexpr std::size_t kGuard = 16;
  for (const std::string& section : sections) {
    for (std::size_t size : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{7},
                             std::size_t{64}, std::size_t{4096}}) {
      std::vector<char> buf(size + kGuard, '\x5a');
      const std::span<char> span(buf.data(), size);
      const uint32_t answers[] = {
          store.getString(section, "k", "def", span, file),
          store.getString(section, std::nullopt, "def", span, file),
          store.getString(std::nullopt, std::nullopt, "def", span, file),
          store.getSection(section, span, file),
          store.getSectionNames(span, file),
      };
      for (uint32_t n : answers) EXPECT_LT(n, size);
      for (std::size_t i = size; i < buf.size(); ++i) {
        ASSERT_EQ(buf[i], '\x5a') << "written beyond the buffer, size " << size;
      }
    }
    (void)store.getInt(section, "k", 5, file);
  }
}

// Random bytes, biased towards what the parser looks at, with and without
// byte-order marks.
std::string randomFile(std::mt19937& random, std::size_t length) {
  static const char kSpecial[] = {'[', ']', '=', ';', '\r', '\n', '\0', ' ', '\t', 'k',
                                  's', '"', '\x80', '\xc3', '\xff', '\xfe', '\xef'};
  static const char* const kMarks[] = {"", "\xef\xbb\xbf", "\xff\xfe", "\xfe\xff"};
  std::string out = kMarks[random() % 4];
  while (out.size() < length) {
    if (random() % 2 == 0) {
      out.push_back(kSpecial[random() % sizeof kSpecial]);
    } else {
      out.push_back(static_cast<char>(random() % 256));
    }
  }
  return out;
}

TEST(StoreBadInputFileBytes, RandomBytesNeverCrashOrOverflowAndWritesStayConsistent) {
  std::mt19937 random(20240601);
  zt::TempDir dir;
  const std::string file = dir.file("random.ini");
  int written = 0;
  for (int round = 0; round < 250; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const std::string original = randomFile(random, random() % 600);
    zt::writeFile(file, original);
    ProfileStore store;
    readEverything(store, file);
    if (HasFatalFailure()) return;
    const int32_t rc = store.writeString("zz new", "key", "value", file);
    if (rc == 1) {
      ++written;
      ProfileStore fresh;
      EXPECT_EQ(get(fresh, "zz new", "key", file), "value");
    } else {
      EXPECT_EQ(rc, 0);
      EXPECT_EQ(zt::readFile(file), original);
    }
    EXPECT_EQ(zt::listFolder(dir.path()), "random.ini");
  }
  EXPECT_GT(written, 0);
}

TEST(StoreBadInputFileBytes, LargeRandomFileIsHarmless) {
  std::mt19937 random(7);
  zt::TempDir dir;
  const std::string file = dir.file("noise.ini");
  std::string original(1 << 20, '\0');
  for (char& c : original) c = static_cast<char>(random() % 256);
  zt::writeFile(file, original);
  ProfileStore store;
  readEverything(store, file);
  const int32_t rc = store.writeString("zz new", "key", "value", file);
  if (rc == 1) {
    ProfileStore fresh;
    EXPECT_EQ(get(fresh, "zz new", "key", file), "value");
    EXPECT_GT(zt::readFile(file).size(), original.size());
  } else {
    EXPECT_EQ(zt::readFile(file), original);
  }
  EXPECT_EQ(zt::listFolder(dir.path()), "noise.ini");
}

// --- Sizes ---------------------------------------------------------------------

TEST(StoreBadInputSizes, LineOfFourMegabytes) {
  zt::TempDir dir;
  const std::string file = dir.file("long.ini");
  const std::string big(4 << 20, 'x');
  const std::string original = "[s]\nbig=" + big + "\nafter=1\n";
  zt::writeFile(file, original);
  ProfileStore store;
  EXPECT_EQ(get(store, "s", "big", file, (4 << 20) + 16), big);
  EXPECT_EQ(get(store, "s", "big", file, 100), std::string(99, 'x'));
  EXPECT_EQ(get(store, "s", "after", file), "1");
  EXPECT_EQ(store.writeString("s", "after", "2", file), 1);
  EXPECT_EQ(zt::readFile(file), "[s]\nbig=" + big + "\nafter=2\n");
  EXPECT_EQ(store.writeString("s", "big", "small", file), 1);
  EXPECT_EQ(zt::readFile(file), "[s]\nbig=small\nafter=2\n");
  // A 4 MB value written through the store.
  EXPECT_EQ(store.writeString("t", "big", big, file), 1);
  ProfileStore fresh;
  EXPECT_EQ(get(fresh, "t", "big", file, (4 << 20) + 16), big);
  EXPECT_EQ(get(fresh, "s", "after", file), "2");
}

TEST(StoreBadInputSizes, FileOfOneHundredMegabytes) {
  zt::TempDir dir;
  const std::string file = dir.file("huge.ini");
  std::string content;
  const std::string filler(1000, 'f');
  content.reserve(std::size_t{102} << 20);
  char header[32];
  for (int i = 0; i < 100000; ++i) {
    std::snprintf(header, sizeof header, "[sec%06d]\nkey=", i);
    content += header;
    content += filler;
    content += '\n';
  }
  content += "[last]\nneedle=found\ntail=end\n";
  zt::writeFile(file, content);
  ASSERT_GT(content.size(), std::size_t{100'000'000});

  ProfileStore store;
  EXPECT_EQ(get(store, "last", "needle", file), "found");
  EXPECT_EQ(get(store, "sec099999", "key", file, 2000), filler);
  EXPECT_EQ(get(store, "sec000000", "key", file, 2000), filler);
  EXPECT_EQ(get(store, "sec100000", "key", file), kDefault);

  EXPECT_EQ(store.writeString("last", "needle", "found again", file), 1);
  const std::string after = zt::readFile(file);
  EXPECT_EQ(after.size(), content.size() + 6);
  const std::size_t at = content.size() - std::string("found\ntail=end\n").size();
  EXPECT_EQ(after.compare(0, at, content, 0, at), 0) << "bytes before the change moved";
  EXPECT_EQ(after.substr(at), "found again\ntail=end\n");
  EXPECT_EQ(zt::listFolder(dir.path()), "huge.ini");
  ProfileStore fresh;
  EXPECT_EQ(get(fresh, "last", "needle", file), "found again");
  EXPECT_EQ(get(fresh, "sec050000", "key", file, 2000), filler);
}

TEST(StoreBadInputSizes, OutOfMemoryReadsAsUnreadableOrThrowsAndWritesNothing) {
  zt::TempDir dir;
  const std::string file = dir.file("brackets.ini");
  // 24 MB of unnamed headers: room for the bytes, not for their parse.
  std::string content;
  for (int i = 0; i < 8'000'000; ++i) content += "[]\n";
  content += "[s]\nk=v\n";
  zt::writeFile(file, content);
  const auto skip = zt::runInChild([&] {
    ProfileStore store;
    zt::limitMemoryInChild(content.size() + (8 << 20));
    // With a status: the answer for an unreadable file and the cause.
    Status status = Status::Ok;
    const Answer answer = store.readString("s", "k", kDefault, file, status);
    EXPECT_EQ(status, Status::OutOfMemory);
    EXPECT_EQ(std::string(answer.text), kDefault);
    // Without one, no default that would pass for the file's answer.
    EXPECT_THROW(get(store, "s", "k", file), std::bad_alloc);
    std::vector<char> buf(64, 'x');
    EXPECT_THROW(store.getSection("s", buf, file), std::bad_alloc);
    EXPECT_THROW(store.getSectionNames(buf, file), std::bad_alloc);
    EXPECT_EQ(std::string(buf.data(), 2), "xx");
    EXPECT_EQ(store.writeString("s", "k", "w", file), 0);
    EXPECT_EQ(store.writeString("t", "new", "1", file), 0);
    EXPECT_EQ(store.writeSection("s", std::string_view("a=1\0", 5), file), 0);
    zt::liftMemoryLimitInChild();
    EXPECT_TRUE(zt::readFile(file) == content) << "the file changed";
    EXPECT_EQ(zt::listFolder(dir.path()), "brackets.ini");
    // Nothing of the failed calls stays behind: with memory, all works.
    EXPECT_EQ(get(store, "s", "k", file), "v");
    EXPECT_EQ(store.writeString("s", "k", "w", file), 1);
    EXPECT_EQ(get(store, "s", "k", file), "w");
  });
  if (skip) GTEST_SKIP() << *skip;
}

// --- Things that are not readable profile files ------------------------------------

TEST(StoreBadInputNotAFile, FolderGivenAsTheFile) {
  zt::TempDir dir;
  const std::string folder = dir.file("folder.ini");
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  zt::writeFile(folder + "/inside", "[s]\nk=v\n");
  ProfileStore store;
  EXPECT_EQ(get(store, "s", "k", folder), kDefault);
  std::vector<char> buf(64, 'X');
  EXPECT_EQ(store.getSectionNames(buf, folder), 0u);
  EXPECT_EQ(store.getSection("s", buf, folder), 0u);
  EXPECT_EQ(store.writeString("s", "k", "v", folder), 0);
  EXPECT_EQ(store.writeSection("s", lit("a=1\0"), folder), 0);
  EXPECT_EQ(store.writeString("s", std::nullopt, std::nullopt, folder), 0);
  EXPECT_EQ(zt::listFolder(dir.path()), "folder.ini");
  EXPECT_EQ(zt::listFolder(folder), "inside");
  EXPECT_EQ(zt::readFile(folder + "/inside"), "[s]\nk=v\n");
  struct stat st {};
  ASSERT_EQ(::stat(folder.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
}

// Runs body in a child process and fails when it does not finish in time
// (a read that blocks on a FIFO or never ends on a device would hang).
void expectFinishes(const std::function<int()>& body, int seconds = 20) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(body());
  ASSERT_GT(pid, 0);
  int status = 0;
  for (int waited = 0; waited < seconds * 100; ++waited) {
    if (::waitpid(pid, &status, WNOHANG) == pid) {
      EXPECT_TRUE(WIFEXITED(status)) << "the child crashed";
      EXPECT_EQ(WEXITSTATUS(status), 0) << "a check in the child failed";
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, &status, 0);
  ADD_FAILURE() << "the store hung";
}

TEST(StoreBadInputNotAFile, FifoAndDevicesAreNotRead) {
  zt::TempDir dir;
  const std::string fifo = dir.file("pipe.ini");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  expectFinishes([&] {
    ProfileStore store;
    int bad = 0;
    bad += get(store, "s", "k", fifo) == kDefault ? 0 : 1;
    bad += store.writeString("s", "k", "v", fifo) == 0 ? 0 : 1;
    struct stat st {};
    bad += ::lstat(fifo.c_str(), &st) == 0 && S_ISFIFO(st.st_mode) ? 0 : 1;
    return bad;
  });
  EXPECT_EQ(zt::listFolder(dir.path()), "pipe.ini");
  // Endless and empty devices, read only (nothing here writes to /dev).
  expectFinishes([&] {
    ProfileStore store;
    int bad = 0;
    bad += get(store, "s", "k", "/dev/zero") == kDefault ? 0 : 1;
    bad += get(store, "s", "k", "/dev/null") == kDefault ? 0 : 1;
    std::vector<char> names(64);
    bad += store.getSectionNames(names, "/dev/zero") == 0 ? 0 : 1;
    return bad;
  });
}

TEST(StoreBadInputNotAFile, SymbolicLinkLoopsAndLinksToFolders) {
  zt::TempDir dir;
  const std::string a = dir.file("a.ini");
  const std::string b = dir.file("b.ini");
  ASSERT_EQ(::symlink(b.c_str(), a.c_str()), 0);
  ASSERT_EQ(::symlink(a.c_str(), b.c_str()), 0);
  const std::string folder = dir.file("sub");
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  const std::string toFolder = dir.file("c.ini");
  ASSERT_EQ(::symlink(folder.c_str(), toFolder.c_str()), 0);
  const std::string self = dir.file("self.ini");
  ASSERT_EQ(::symlink("self.ini", self.c_str()), 0);
  ProfileStore store;
  for (const std::string& f : {a, b, toFolder, self, dir.path() + "/", folder + "/."}) {
    SCOPED_TRACE(f);
    EXPECT_EQ(get(store, "s", "k", f), kDefault);
    EXPECT_EQ(store.writeString("s", "k", "v", f), 0);
  }
  EXPECT_EQ(zt::listFolder(dir.path()), "a.ini b.ini c.ini self.ini sub");
  EXPECT_EQ(zt::listFolder(folder), "");
  char target[256] = {};
  ASSERT_GT(::readlink(a.c_str(), target, sizeof target - 1), 0);
  EXPECT_EQ(std::string(target), b);
}

TEST(StoreBadInputNotAFile, FileLargerThanTheStoreHandles) {
  // A sparse file of 3 GB: read as missing, never rewritten.
  zt::TempDir dir;
  const std::string file = dir.file("sparse.ini");
  zt::writeFile(file, "[s]\nk=v\n");
  ASSERT_EQ(::truncate(file.c_str(), off_t{3} << 30), 0);
  ProfileStore store;
  EXPECT_EQ(get(store, "s", "k", file), kDefault);
  EXPECT_EQ(store.writeString("s", "k", "w", file), 0);
  struct stat st {};
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_size, off_t{3} << 30);
  EXPECT_EQ(zt::listFolder(dir.path()), "sparse.ini");
  EXPECT_EQ(WritePrivateProfileStringA("s", "k", "w", file.c_str()), 0);
  EXPECT_EQ(GetLastError(), 223u);  // ERROR_FILE_TOO_LARGE
}

TEST(StoreBadInputNotAFile, OutOfMemoryIsReportedAndNothingIsThrown) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "an address-space limit cannot be set under AddressSanitizer";
#else
  // A sparse file of 1 GB the store would read whole, in a child whose
  // address space cannot hold it: every call answers as for an unreadable
  // file with ERROR_NOT_ENOUGH_MEMORY, and the file is not rewritten.
  zt::TempDir dir;
  const std::string file = dir.file("huge.ini");
  zt::writeFile(file, "[s]\nk=v\n");
  ASSERT_EQ(::truncate(file.c_str(), off_t{1} << 30), 0);
  const auto skip = zt::runInChild([&] {
    long pages = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
      if (std::fscanf(statm, "%ld", &pages) != 1) pages = 0;
      std::fclose(statm);
    }
    if (pages <= 0) zt::skipInChild("the process's size is not known");
    const rlim_t limit = static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) +
                         (rlim_t{256} << 20);
    const struct rlimit rl {limit, limit};
    ASSERT_EQ(::setrlimit(RLIMIT_AS, &rl), 0);
    char buf[16];
    EXPECT_EQ(GetPrivateProfileStringA("s", "k", "def", buf, sizeof buf, file.c_str()), 3u);
    EXPECT_STREQ(buf, "def");
    EXPECT_EQ(GetLastError(), 8u);  // ERROR_NOT_ENOUGH_MEMORY
    EXPECT_EQ(GetPrivateProfileIntA("s", "k", 7, file.c_str()), 7u);
    EXPECT_EQ(GetLastError(), 8u);
    uint8_t data[2];
    EXPECT_EQ(GetPrivateProfileStructA("s", "k", data, sizeof data, file.c_str()), 0);
    EXPECT_EQ(GetLastError(), 8u);
    EXPECT_EQ(WritePrivateProfileStringA("s", "k", "w", file.c_str()), 0);
    EXPECT_EQ(GetLastError(), 8u);
  });
  if (skip) GTEST_SKIP() << *skip;
  struct stat st {};
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_size, off_t{1} << 30);
#endif
}

TEST(StoreBadInputNotAFile, UnreadableFileGivesTheDefaultAndRefusesWrites) {
  // Tests run as root, for whom permissions deny nothing: the denial comes
  // from the file system stand-in instead.
  zt::TempDir dir;
  const std::string file = dir.file("locked.ini");
  const std::string original = "[s]\nk=v\n";
  zt::writeFile(file, original);
  for (zt::FsOp op : {zt::FsOp::Open, zt::FsOp::Lstat}) {
    SCOPED_TRACE(zt::fsOpName(op));
    auto fs = std::make_shared<zt::FaultyFileSystem>();
    fs->failAlways(op, EACCES, "locked.ini");
    ProfileStore store(fs);
    EXPECT_EQ(get(store, "s", "k", file), kDefault);
    EXPECT_EQ(store.getInt("s", "k", 9, file), 9u);
    EXPECT_EQ(store.writeString("s", "k", "changed", file), 0);
    EXPECT_EQ(store.writeString("s", "new", "1", file), 0);
    EXPECT_EQ(zt::readFile(file), original);
    EXPECT_EQ(zt::listFolder(dir.path()), "locked.ini");
    EXPECT_TRUE(fs->faultHit());
  }
}

TEST(StoreBadInputNotAFile, FileThatCannotBeReplacedIsLeftAlone) {
  // The folder refuses new entries (the temporary file cannot be created).
  zt::TempDir dir;
  const std::string file = dir.file("f.ini");
  zt::writeFile(file, "[s]\nk=v\n");
  auto fs = std::make_shared<zt::FaultyFileSystem>();
  fs->failAlways(zt::FsOp::Open, EACCES, ".zdv-tmp");
  ProfileStore store(fs);
  EXPECT_EQ(store.writeString("s", "k", "changed", file), 0);
  EXPECT_EQ(zt::readFile(file), "[s]\nk=v\n");
  EXPECT_EQ(get(store, "s", "k", file), "v");
}

// --- Buffers --------------------------------------------------------------------------

TEST(StoreBadInputBuffers, SizeZeroAndNullBuffersWriteNothing) {
  zt::TempDir dir;
  const std::string path = dir.file("b.ini");
  zt::writeFile(path, "[s]\nk=value\n[t]\nx=1\n");
  const char* file = path.c_str();
  char buf[8];
  std::memset(buf, 'Z', sizeof buf);
  EXPECT_EQ(GetPrivateProfileStringA("s", "k", "def", buf, 0, file), 0u);
  EXPECT_EQ(GetPrivateProfileStringA("s", nullptr, "def", buf, 0, file), 0u);
  EXPECT_EQ(GetPrivateProfileStringA(nullptr, nullptr, "def", buf, 0, file), 0u);
  EXPECT_EQ(GetPrivateProfileStringA("none", "k", "def", buf, 0, file), 0u);
  EXPECT_EQ(GetPrivateProfileSectionA("s", buf, 0, file), 0u);
  EXPECT_EQ(GetPrivateProfileSectionNamesA(buf, 0, file), 0u);
  for (char c : buf) EXPECT_EQ(c, 'Z');

  for (uint32_t size : {0u, 1u, 100u}) {
    EXPECT_EQ(GetPrivateProfileStringA("s", "k", "def", nullptr, size, file), 0u);
    EXPECT_EQ(GetPrivateProfileStringA("s", nullptr, "def", nullptr, size, file), 0u);
    EXPECT_EQ(GetPrivateProfileStringA(nullptr, nullptr, "def", nullptr, size, file), 0u);
    EXPECT_EQ(GetPrivateProfileStringA("none", "k", "def", nullptr, size, file), 0u);
    EXPECT_EQ(GetPrivateProfileSectionA("s", nullptr, size, file), 0u);
    EXPECT_EQ(GetPrivateProfileSectionNamesA(nullptr, size, file), 0u);
    EXPECT_EQ(GetLastError(), 87u);  // ERROR_INVALID_PARAMETER
    EXPECT_EQ(GetPrivateProfileSectionA(nullptr, buf, sizeof buf, file), 0u);
    EXPECT_EQ(GetLastError(), 87u);
  }
  EXPECT_EQ(GetPrivateProfileStringA("s", "k", "def", nullptr, 100, nullptr), 0u);

  ProfileStore store;
  const std::span<char> empty;
  EXPECT_EQ(store.getString("s", "k", "def", empty, path), 0u);
  EXPECT_EQ(store.getSection("s", empty, path), 0u);
  EXPECT_EQ(store.getSectionNames(empty, path), 0u);
  EXPECT_EQ(zt::readFile(path), "[s]\nk=value\n[t]\nx=1\n");
}

// --- Paths ---------------------------------------------------------------------------------

TEST(StoreBadInputPaths, PathOfFiveThousandCharacters) {
  zt::TempDir dir;
  // Folders that exist, nested until the path is far beyond PATH_MAX.
  std::string path = dir.path();
  int fd = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(fd, 0);
  const std::string part(120, 'd');
  while (path.size() < 5000) {
    ASSERT_EQ(::mkdirat(fd, part.c_str(), 0755), 0);
    const int next = ::openat(fd, part.c_str(), O_RDONLY | O_DIRECTORY);
    ::close(fd);
    ASSERT_GE(next, 0);
    fd = next;
    path += "/" + part;
  }
  ::close(fd);
  const std::string file = path + "/f.ini";
  ASSERT_GE(file.size(), 5000u);
  const std::string missing = dir.path() + "/" + std::string(4990, 'm') + ".ini";
  for (const std::string& f : {file, missing}) {
    ProfileStore store;
    EXPECT_EQ(get(store, "s", "k", f), kDefault);
    std::vector<char> buf(64, 'X');
    EXPECT_EQ(store.getSectionNames(buf, f), 0u);
    EXPECT_EQ(store.writeString("s", "k", "v", f), 0);
    EXPECT_EQ(store.writeSection("s", lit("a=1\0"), f), 0);
    EXPECT_EQ(WritePrivateProfileStringA("s", "k", "v", f.c_str()), 0);
    char cbuf[16];
    EXPECT_EQ(GetPrivateProfileStringA("s", "k", "d", cbuf, sizeof cbuf, f.c_str()), 1u);
    EXPECT_STREQ(cbuf, "d");
  }
  // The same long name in the Windows form.
  std::string windowsForm = "Z:";
  for (char c : file) windowsForm.push_back(c == '/' ? '\\' : c);
  ProfileStore store;
  EXPECT_EQ(get(store, "s", "k", windowsForm), kDefault);
  EXPECT_EQ(store.writeString("s", "k", "v", windowsForm), 0);
}

TEST(StoreBadInputPaths, NameComponentsAroundTheLengthLimit) {
  zt::TempDir dir;
  // Over 255 bytes: no such file can exist.
  for (std::size_t length : {std::size_t{256}, std::size_t{300}, std::size_t{1000}}) {
    SCOPED_TRACE(length);
    const std::string file = dir.path() + "/" + std::string(length - 4, 'n') + ".ini";
    ProfileStore store;
    EXPECT_EQ(get(store, "s", "k", file), kDefault);
    EXPECT_EQ(store.writeString("s", "k", "v", file), 0);
    const std::string inFolder = dir.path() + "/" + std::string(length, 'p') + "/f.ini";
    EXPECT_EQ(get(store, "s", "k", inFolder), kDefault);
    EXPECT_EQ(store.writeString("s", "k", "v", inFolder), 0);
    EXPECT_EQ(zt::listFolder(dir.path()), "");
  }
  // Up to 255 bytes: a valid name, even though the temporary file's name
  // would be longer.
  for (std::size_t length : {std::size_t{200}, std::size_t{201}, std::size_t{246},
                             std::size_t{247}, std::size_t{255}}) {
    SCOPED_TRACE(length);
    const std::string name = std::string(length - 4, 'v') + ".ini";
    const std::string file = dir.path() + "/" + name;
    ProfileStore store;
    EXPECT_EQ(store.writeString("s", "k", "v", file), 1);
    EXPECT_EQ(store.writeString("s", "k", "w", file), 1);
    ProfileStore fresh;
    EXPECT_EQ(get(fresh, "s", "k", file), "w");
    EXPECT_EQ(zt::listFolder(dir.path()), name);
    ASSERT_EQ(::unlink(file.c_str()), 0);
  }
}

// --- Invalid text in writes --------------------------------------------------------------

TEST(StoreBadInputText, InvalidUtf8AndLineBreaksAreRefused) {
  zt::TempDir dir;
  const std::string file = dir.file("t.ini");
  const std::string original = "[s]\nk=v\n";
  zt::writeFile(file, original);
  const std::string missing = dir.file("never.ini");
  const std::string bad[] = {
      "\xff",              // never valid
      "ab\xc3",            // cut sequence
      "\xe2\x82",          // cut sequence
      "\xc0\xaf",          // overlong '/'
      "\xe0\x80\xaf",      // overlong '/'
      "\xed\xa0\x80",      // surrogate
      "\xf4\x90\x80\x80",  // beyond U+10FFFF
      "\x80x",             // stray continuation byte
      lit("a\0b"),
      "a\nb",
      "a\rb",
  };
  ProfileStore store;
  for (const std::string& b : bad) {
    std::string shown;
    for (unsigned char c : b) shown += std::to_string(c) + " ";
    SCOPED_TRACE(shown);
    for (const std::string& f : {file, missing}) {
      EXPECT_EQ(store.writeString(b, "k", "v", f), 0);
      EXPECT_EQ(store.writeString("s", b, "v", f), 0);
      EXPECT_EQ(store.writeString("s", "k", b, f), 0);
      EXPECT_EQ(store.writeString("s", "k" + b, "v", f), 0);
      EXPECT_EQ(store.writeString("s", "k", "v" + b + "w", f), 0);
      EXPECT_EQ(store.writeString(b, std::nullopt, std::nullopt, f), 0);
      EXPECT_EQ(store.writeString("s", b, std::nullopt, f), 0);
      EXPECT_EQ(store.writeSection(b, lit("a=1\0"), f), 0);
      if (b.find('\0') == std::string::npos) {
        EXPECT_EQ(store.writeSection("s", "a=1" + std::string(1, '\0') + "k=" + b + '\0', f), 0);
        EXPECT_EQ(store.writeSection("s", "a=1" + std::string(1, '\0') + b + "=1" + '\0', f), 0);
      }
    }
    EXPECT_EQ(zt::readFile(file), original);
    EXPECT_FALSE(zt::fileExists(missing));
    EXPECT_EQ(zt::listFolder(dir.path()), "t.ini");
  }
  // Through the C functions as well (each text the C strings can carry):
  // writes answer 0, reads with such a name give the default.
  for (const std::string& b : bad) {
    if (b.find('\0') != std::string::npos) continue;
    std::string shown;
    for (unsigned char c : b) shown += std::to_string(c) + " ";
    SCOPED_TRACE("C functions: " + shown);
    const char* t = b.c_str();
    for (const std::string& f : {file, missing}) {
      const char* name = f.c_str();
      EXPECT_EQ(WritePrivateProfileStringA(t, "k", "v", name), 0);
      EXPECT_EQ(WritePrivateProfileStringA("s", t, "v", name), 0);
      EXPECT_EQ(WritePrivateProfileStringA("s", "k", t, name), 0);
      // A line end would add lines (ERROR_INVALID_DATA); the rest is no UTF-8.
      EXPECT_EQ(GetLastError(), b.find_first_of("\r\n") == std::string::npos ? 1113u : 13u);
      EXPECT_EQ(WritePrivateProfileStringA("s", t, nullptr, name), 0);
      EXPECT_EQ(WritePrivateProfileStringA(t, nullptr, nullptr, name), 0);
      EXPECT_EQ(WritePrivateProfileSectionA(t, "a=1\0", name), 0);
      const std::string entries = "a=1" + std::string(1, '\0') + "k=" + b + '\0';
      EXPECT_EQ(WritePrivateProfileSectionA("s", entries.c_str(), name), 0);
      char buf[64];
      EXPECT_EQ(GetPrivateProfileStringA(t, "k", "dflt", buf, sizeof buf, name), 4u);
      EXPECT_STREQ(buf, "dflt");
      EXPECT_EQ(GetPrivateProfileStringA("s", t, "dflt", buf, sizeof buf, name), 4u);
      EXPECT_STREQ(buf, "dflt");
      EXPECT_EQ(GetPrivateProfileIntA("s", t, 7, name), 7u);
      EXPECT_EQ(GetPrivateProfileSectionA(t, buf, sizeof buf, name), 0u);
    }
    EXPECT_EQ(zt::readFile(file), original);
    EXPECT_FALSE(zt::fileExists(missing));
    EXPECT_EQ(zt::listFolder(dir.path()), "t.ini");
  }
  // Valid text next to it still goes in.
  EXPECT_EQ(store.writeString("s", "k", "\xe2\x82\xac \xf0\x9f\x98\x80", file), 1);
  EXPECT_EQ(get(store, "s", "k", file), "\xe2\x82\xac \xf0\x9f\x98\x80");
}

}  // namespace

// A path holding a NUL would reach another file at the system call (the
// part before the NUL); it names no file: reads give the default, writes
// fail, and the file the prefix names stays untouched.
TEST(StoreBadInputPaths, PathWithNulNamesNoFile) {
  zidevuv10::testing::TempDir dir;
  const std::string prefix = dir.file("a.ini");
  zidevuv10::testing::writeFile(prefix, "[s]\nk=v\n");
  const std::string withNul = prefix + std::string("\0.evil", 6);
  zidevuv10::store::ProfileStore store;
  char buf[32];
  EXPECT_EQ(store.getString("s", "k", "dflt", buf, std::string_view(withNul)), 4u);
  EXPECT_STREQ(buf, "dflt");
  EXPECT_EQ(store.writeString("s", "k", "changed", std::string_view(withNul)), 0);
  EXPECT_EQ(zidevuv10::testing::readFile(prefix), "[s]\nk=v\n");
}
