// Permission bits as users' machines have them: a folder without write
// permission (its file cannot be replaced, even when the file itself is
// writable), a file that cannot be read and a folder that cannot be
// searched. Writes must answer 0 and leave the file's bytes as they were;
// reads give the default. The checks run in a child process as an
// unprivileged user: the suite may run as root, for whom permission bits
// deny nothing.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
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
const std::string kOriginal = "; kept\r\n[s]\r\nk=v\r\n\r\n[t]\r\nx=1\r\n";

std::string get(ProfileStore& store, const char* section, const char* key,
                const std::string& file) {
  std::vector<char> buf(256);
  const uint32_t n = store.getString(section, key, kDefault, buf, file);
  return std::string(buf.data(), n);
}

std::string getThroughC(const char* section, const char* key, const std::string& file) {
  char buf[256];
  const uint32_t n = GetPrivateProfileStringA(section, key, kDefault, buf, sizeof buf, file.c_str());
  return std::string(buf, n);
}

// In the child: when root, hands `folder` to an unprivileged user and
// becomes that user; then makes sure permission bits bind, or skips.
void becomeUnprivileged(const std::string& folder) {
  if (::geteuid() == 0) {
    constexpr uid_t kNobody = 65534;
    constexpr gid_t kNogroup = 65534;
    if (::chown(folder.c_str(), kNobody, kNogroup) != 0 || ::setgroups(0, nullptr) != 0 ||
        ::setresgid(kNogroup, kNogroup, kNogroup) != 0 ||
        ::setresuid(kNobody, kNobody, kNobody) != 0) {
      zt::skipInChild(std::string("running as root and cannot become uid 65534: ") +
                      std::strerror(errno));
    }
  }
  // A folder without write permission must refuse a new file.
  const std::string probe = folder + "/probe";
  if (::mkdir(probe.c_str(), 0555) != 0) {
    ADD_FAILURE() << "cannot make " << probe << ": " << std::strerror(errno);
    return;
  }
  const std::string inside = probe + "/f";
  const bool bound = ::mkdir(inside.c_str(), 0755) != 0 && errno == EACCES;
  ::rmdir(inside.c_str());
  ::rmdir(probe.c_str());
  if (!bound) zt::skipInChild("permission bits do not restrict this user (CAP_DAC_OVERRIDE?)");
}

// Every kind of write, through the store and through the C functions: each
// must answer 0.
void expectEveryWriteRefused(ProfileStore& store, const std::string& file) {
  EXPECT_EQ(store.writeString("s", "k", "changed", file), 0);
  EXPECT_EQ(store.writeString("s", "new", "1", file), 0);
  EXPECT_EQ(store.writeString("n", "k", "v", file), 0);
  EXPECT_EQ(store.writeString("s", "k", std::nullopt, file), 0);
  EXPECT_EQ(store.writeString("t", std::nullopt, std::nullopt, file), 0);
  EXPECT_EQ(store.writeSection("s", std::string_view("a=1\0b=2\0", 8), file), 0);
  EXPECT_EQ(WritePrivateProfileStringA("s", "k", "changed", file.c_str()), 0);
  EXPECT_EQ(WritePrivateProfileStringA("s", "k", nullptr, file.c_str()), 0);
  EXPECT_EQ(WritePrivateProfileSectionA("s", "a=1\0", file.c_str()), 0);
}

TEST(StorePermissions, FolderWithoutWritePermissionKeepsTheFile) {
  zt::TempDir dir;
  const auto skip = zt::runInChild([&] {
    becomeUnprivileged(dir.path());
    const std::string folder = dir.file("ro");
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    const std::string file = folder + "/settings.ini";
    zt::writeFile(file, kOriginal);
    ASSERT_EQ(::chmod(file.c_str(), 0644), 0);  // the file itself stays writable
    ProfileStore store;
    EXPECT_EQ(get(store, "s", "k", file), "v");  // in the cache before the folder closes
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);

    expectEveryWriteRefused(store, file);
    // A new file in that folder is not made either.
    EXPECT_EQ(store.writeString("s", "k", "v", folder + "/new.ini"), 0);
    EXPECT_EQ(WritePrivateProfileStringA("s", "k", "v", (folder + "/new.ini").c_str()), 0);
    EXPECT_EQ(GetLastError(), 5u);  // ERROR_ACCESS_DENIED

    EXPECT_EQ(zt::readFile(file), kOriginal);
    EXPECT_EQ(zt::listFolder(folder), "settings.ini");
    // Nothing of the refused writes is remembered: every reader sees the file.
    EXPECT_EQ(get(store, "s", "k", file), "v");
    EXPECT_EQ(get(store, "s", "new", file), kDefault);
    ProfileStore fresh;
    EXPECT_EQ(get(fresh, "s", "k", file), "v");
    EXPECT_EQ(get(fresh, "t", "x", file), "1");
    EXPECT_EQ(getThroughC("s", "k", file), "v");

    // With write permission back, the same store writes.
    ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
    EXPECT_EQ(store.writeString("s", "k", "changed", file), 1);
    EXPECT_EQ(zt::readFile(file), "; kept\r\n[s]\r\nk=changed\r\n\r\n[t]\r\nx=1\r\n");
    EXPECT_EQ(zt::listFolder(folder), "settings.ini");
  });
  if (skip) GTEST_SKIP() << *skip;
}

TEST(StorePermissions, UnreadableFileGivesTheDefaultAndIsNotReplaced) {
  // The folder is writable, so a write could replace the file: it must not,
  // since it cannot read what the file holds.
  zt::TempDir dir;
  const auto skip = zt::runInChild([&] {
    becomeUnprivileged(dir.path());
    const std::string file = dir.file("locked.ini");
    zt::writeFile(file, kOriginal);
    ASSERT_EQ(::chmod(file.c_str(), 0), 0);
    ProfileStore store;
    EXPECT_EQ(get(store, "s", "k", file), kDefault);
    EXPECT_EQ(store.getInt("s", "k", 9, file), 9u);
    std::vector<char> names(64, 'X');
    EXPECT_EQ(store.getSectionNames(names, file), 0u);
    EXPECT_EQ(getThroughC("s", "k", file), kDefault);
    EXPECT_EQ(GetLastError(), 5u);  // ERROR_ACCESS_DENIED
    expectEveryWriteRefused(store, file);
    EXPECT_EQ(WritePrivateProfileStringA("s", "k", "w", file.c_str()), 0);
    EXPECT_EQ(GetLastError(), 5u);
    EXPECT_EQ(zt::listFolder(dir.path()), "locked.ini");
    ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
    EXPECT_EQ(zt::readFile(file), kOriginal);
    EXPECT_EQ(get(store, "s", "k", file), "v");
  });
  if (skip) GTEST_SKIP() << *skip;
}

TEST(StorePermissions, FolderThatCannotBeSearchedGivesTheDefaultAndKeepsTheFile) {
  zt::TempDir dir;
  const auto skip = zt::runInChild([&] {
    becomeUnprivileged(dir.path());
    const std::string folder = dir.file("closed");
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    const std::string file = folder + "/settings.ini";
    zt::writeFile(file, kOriginal);
    ASSERT_EQ(::chmod(folder.c_str(), 0666), 0);  // read and write, no search
    ProfileStore store;
    EXPECT_EQ(get(store, "s", "k", file), kDefault);
    EXPECT_EQ(getThroughC("s", "k", file), kDefault);
    expectEveryWriteRefused(store, file);
    ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
    EXPECT_EQ(zt::readFile(file), kOriginal);
    EXPECT_EQ(zt::listFolder(folder), "settings.ini");
    EXPECT_EQ(get(store, "s", "k", file), "v");
  });
  if (skip) GTEST_SKIP() << *skip;
}

}  // namespace
