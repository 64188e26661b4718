// Writes into a file system that is really full: a tmpfs of 16 pages, mounted in
// a mount namespace of a child process of its own (so nothing outside the
// child ever sees it, and it goes away with the child). A write that needs
// room the disk does not have must answer 0, leave the file's old bytes
// exactly and no temporary file; once there is room, the same write goes
// through. Skipped where no mount namespace with a tmpfs can be made.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "store/profile_store.h"
#include "support/in_child.h"
#include "support/test_files.h"
#include "zidevuv10/profile.h"

namespace {

namespace zt = zidevuv10::testing;
using zidevuv10::store::ProfileStore;

constexpr const char* kDefault = "<default>";

std::string get(ProfileStore& store, const char* section, const char* key,
                const std::string& file) {
  std::vector<char> buf(8192);
  const uint32_t n = store.getString(section, key, kDefault, buf, file);
  return std::string(buf.data(), n);
}

bool writeText(const std::string& path, const std::string& text) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  return ::close(fd) == 0 && ok;
}

void skipWithErrno(const std::string& what) {
  zt::skipInChild(what + ": " + std::strerror(errno));
}

const std::size_t kPage = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));

// In the child: a private mount namespace (a user namespace too when not
// root) with a tmpfs of 16 pages on `folder`; skips when it cannot be made.
void mountSmallDisk(const std::string& folder) {
  const uid_t uid = ::geteuid();
  const gid_t gid = ::getegid();
  if (::unshare(CLONE_NEWNS) != 0) {
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) skipWithErrno("no mount namespace");
    const std::string uidMap = "0 " + std::to_string(uid) + " 1";
    const std::string gidMap = "0 " + std::to_string(gid) + " 1";
    if (!writeText("/proc/self/setgroups", "deny") ||
        !writeText("/proc/self/uid_map", uidMap) || !writeText("/proc/self/gid_map", gidMap)) {
      skipWithErrno("cannot map the user namespace");
    }
  }
  // Mounts made from now on stay in this namespace.
  if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
    skipWithErrno("cannot make the mounts private");
  }
  const std::string options = "size=" + std::to_string(16 * kPage) + ",mode=0755";
  if (::mount("tmpfs", folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0) {
    skipWithErrno("cannot mount a tmpfs");
  }
}

// Fills the file system with one file until it refuses a single byte.
void fillUp(const std::string& filler) {
  const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  const std::string chunk(kPage, 'f');
  for (std::size_t size = chunk.size(); size > 0; size /= 2) {
    while (::write(fd, chunk.data(), size) > 0) {
    }
    ASSERT_EQ(errno, ENOSPC);
  }
  ASSERT_EQ(::close(fd), 0);
}

// Bytes the file system has free.
unsigned long long freeBytes(const std::string& folder) {
  struct statvfs st {};
  if (::statvfs(folder.c_str(), &st) != 0) return ~0ull;
  return static_cast<unsigned long long>(st.f_bavail) * st.f_frsize;
}

// Settings of one and a half pages: a rewrite needs two free pages for its
// new copy.
std::string original() {
  std::string s = "; settings\r\n[s]\r\nk=v\r\n\r\n[pad]\r\n";
  for (int i = 0; s.size() < kPage + kPage / 2; ++i) {
    s += "p" + std::to_string(i) + "=0123456789abcdef\r\n";
  }
  return s;
}

struct Write {
  const char* what;
  std::function<int32_t(ProfileStore&, const std::string&)> apply;
};

const std::string kLong(1000, 'g');

std::vector<Write> writes() {
  return {
      {"grow by a key",
       [](ProfileStore& s, const std::string& f) { return s.writeString("s", "grown", kLong, f); }},
      {"grow by a section",
       [](ProfileStore& s, const std::string& f) {
         return s.writeSection("new", std::string_view("a=1\0b=2\0", 8), f);
       }},
      {"grow through the C functions",
       [](ProfileStore&, const std::string& f) {
         return WritePrivateProfileStringA("s", "grown", kLong.c_str(), f.c_str());
       }},
      {"shrink by a key",
       [](ProfileStore& s, const std::string& f) { return s.writeString("s", "k", std::nullopt, f); }},
  };
}

// What the write makes of the original where there is room.
std::string expectedAfter(const Write& write, const std::string& referenceFile) {
  zt::writeFile(referenceFile, original());
  ProfileStore store;
  EXPECT_EQ(write.apply(store, referenceFile), 1) << write.what;
  return zt::readFile(referenceFile);
}

TEST(StoreFullDisk, WriteWithoutRoomKeepsTheFileAndSucceedsOnceThereIsRoom) {
  zt::TempDir dir;
  const std::string disk = dir.file("disk");
  ASSERT_EQ(::mkdir(disk.c_str(), 0755), 0);
  const auto skip = zt::runInChild([&] {
    mountSmallDisk(disk);
    const std::string file = disk + "/settings.ini";
    const std::string filler = disk + "/filler";
    for (const Write& write : writes()) {
      SCOPED_TRACE(write.what);
      const std::string after = expectedAfter(write, dir.file("reference.ini"));
      ASSERT_EQ(::unlink(dir.file("reference.ini").c_str()), 0);
      zt::writeFile(file, original());
      ProfileStore store;
      EXPECT_EQ(get(store, "s", "k", file), "v");

      // Full to the last byte; then with one page free, where the new copy
      // is cut short half way.
      fillUp(filler);
      ASSERT_EQ(freeBytes(disk), 0u);
      for (const bool onePageFree : {false, true}) {
        SCOPED_TRACE(onePageFree ? "one page free" : "disk full");
        if (onePageFree) {
          struct stat st {};
          ASSERT_EQ(::stat(filler.c_str(), &st), 0);
          ASSERT_EQ(::truncate(filler.c_str(), st.st_size - static_cast<off_t>(kPage)), 0);
          ASSERT_EQ(freeBytes(disk), kPage);
        }
        const unsigned long long room = freeBytes(disk);
        EXPECT_EQ(write.apply(store, file), 0);
        EXPECT_EQ(zt::readFile(file), original());
        EXPECT_EQ(zt::listFolder(disk), "filler settings.ini");
        EXPECT_EQ(freeBytes(disk), room) << "space still held by a temporary file";
        EXPECT_EQ(get(store, "s", "k", file), "v");
        EXPECT_EQ(get(store, "s", "grown", file), kDefault);
        ProfileStore fresh;
        EXPECT_EQ(get(fresh, "s", "k", file), "v");
        // Nor is a new file made on the full disk.
        if (!onePageFree) {
          EXPECT_EQ(WritePrivateProfileStringA("s", "k", "v", (disk + "/new.ini").c_str()), 0);
          EXPECT_EQ(GetLastError(), 112u);  // ERROR_DISK_FULL
          EXPECT_EQ(store.writeString("s", "k", "v", disk + "/new.ini"), 0);
          EXPECT_EQ(zt::listFolder(disk), "filler settings.ini");
        }
      }

      // With the filler gone the same write goes through.
      ASSERT_EQ(::unlink(filler.c_str()), 0);
      EXPECT_EQ(write.apply(store, file), 1);
      EXPECT_EQ(zt::readFile(file), after);
      EXPECT_EQ(zt::listFolder(disk), "settings.ini");
      ProfileStore fresh;
      EXPECT_EQ(get(fresh, "s", "grown", file), after.find("grown=") == std::string::npos
                                                     ? std::string(kDefault)
                                                     : kLong);
      ASSERT_EQ(::unlink(file.c_str()), 0);
    }
  });
  if (skip) GTEST_SKIP() << *skip;
}

}  // namespace
