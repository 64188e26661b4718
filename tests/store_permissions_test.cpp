// Permission bits as users' machines have them: a folder without write
// permission (its file cannot be replaced, even when the file itself is
// writable), a file that cannot be read, a folder that cannot be searched,
// a read-only file and one an ACL closes. Writes must answer 0 and leave
// the file's bytes as they were; reads give the default. The checks run in
// a child process as an unprivileged user: the suite may run as root, for
// whom permission bits deny nothing.
//
// Shared folders: another user (a fixed unused uid, which needs no account)
// plants temporary files and links in a sticky world-writable folder, or
// writes a file it may write but does not own. Those need root and are
// skipped elsewhere.
#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "fs/file_system.h"
#include "store/atomic_file.h"
#include "store/side_files.h"
#include "store/write_lock.h"
#include "store/profile_store.h"
#include "support/faulty_file_system.h"
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

constexpr uid_t kOther = 54321;
constexpr gid_t kOtherGroup = 54321;
constexpr gid_t kSharedGroup = 54322;

// Runs `body` in a child process as user `uid` (group `gid`, with the
// supplementary groups given).
void asUser(uid_t uid, gid_t gid, const std::function<void()>& body,
            const std::vector<gid_t>& groups = {}) {
  const auto skip = zt::runInChild([&] {
    if (::setgroups(groups.size(), groups.data()) != 0 || ::setresgid(gid, gid, gid) != 0 ||
        ::setresuid(uid, uid, uid) != 0) {
      zt::skipInChild("cannot become uid " + std::to_string(uid) + ": " + std::strerror(errno));
    }
    body();
  });
  EXPECT_FALSE(skip.has_value()) << *skip;
}

// The same as user kOther (group kOtherGroup).
void asOtherUser(const std::function<void()>& body, const std::vector<gid_t>& groups = {}) {
  asUser(kOther, kOtherGroup, body, groups);
}

// A folder every user may create files in, each removing only their own.
std::string stickyFolder(const zt::TempDir& dir, const char* name) {
  const std::string folder = dir.file(name);
  EXPECT_EQ(::chmod(dir.path().c_str(), 0755), 0);
  EXPECT_EQ(::mkdir(folder.c_str(), 0755), 0);
  EXPECT_EQ(::chmod(folder.c_str(), 01777), 0);
  return folder;
}

struct stat statOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
  return st;
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

TEST(StorePermissions, FileTheCallerMayNotWriteIsRefused) {
  // Read-only by its mode, or by an ACL while its mode bits would let
  // everyone write: the kernel's answer counts, as Windows refuses to
  // write a read-only file.
  zt::TempDir dir;
  const std::string readOnly = dir.file("readonly.ini");
  const std::string closed = dir.file("acl.ini");
  zt::writeFile(readOnly, kOriginal);
  zt::writeFile(closed, kOriginal);
  ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
  ASSERT_EQ(::chmod(closed.c_str(), 0666), 0);
  const std::string acl = zt::accessAcl(6, 6, 6, {{65534, 4}});
  const bool aclSet = ::geteuid() == 0 && ::setxattr(closed.c_str(), "system.posix_acl_access",
                                                     acl.data(), acl.size(), 0) == 0;
  const auto skip = zt::runInChild([&] {
    becomeUnprivileged(dir.path());
    ProfileStore store;
    std::vector<std::string> files = {readOnly};
    if (aclSet) files.push_back(closed);
    for (const std::string& file : files) {
      SCOPED_TRACE(file);
      EXPECT_EQ(get(store, "s", "k", file), "v");
      expectEveryWriteRefused(store, file);
      EXPECT_EQ(zt::readFile(file), kOriginal);
      EXPECT_EQ(get(store, "s", "k", file), "v");
      // The cause stays distinct up to the store.
      struct stat st = statOf(file);
      EXPECT_EQ(zidevuv10::store::replaceFile(*zidevuv10::fs::posixFileSystem(), file, "[s]\n",
                                              kOriginal, &st, {}),
                -EACCES);
    }
    EXPECT_EQ(zt::listFolder(dir.path()), "acl.ini readonly.ini");
  });
  if (skip) GTEST_SKIP() << *skip;
  if (!aclSet) GTEST_SKIP() << "no ACL could be set here (not root, or no ACL support)";
}

TEST(StorePermissions, TemporaryFilesOfOthersAreNeverUsedOrRemoved) {
  // Another user prepares the names a writer's temporary file might have
  // in a sticky folder, world-writable; the writer must not write into
  // them (the file would become theirs), nor fail, nor remove them. The
  // writer's own leftover goes.
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as a second user";
  zt::TempDir dir;
  const std::string shared = stickyFolder(dir, "shared");
  const std::string file = shared + "/f.ini";
  zt::writeFile(file, kOriginal);
  const std::vector<std::string> planted = {shared + "/.f.ini.zdv-tmp",
                                            shared + "/.f.ini.zdv-tmp.AAAAAAAAAAAA"};
  asOtherUser([&] {
    for (const std::string& p : planted) {
      zt::writeFile(p, "planted");
      ASSERT_EQ(::chmod(p.c_str(), 0666), 0);
    }
  });
  const std::string own = shared + "/.f.ini.zdv-tmp.BBBBBBBBBBBB";
  zt::writeFile(own, "torn");
  ProfileStore store;
  for (const char* value : {"secret", "again"}) {
    ASSERT_EQ(store.writeString("s", "k", value, file), 1);
    EXPECT_EQ(get(store, "s", "k", file), value);
    EXPECT_EQ(statOf(file).st_uid, 0u) << "the file went to the other user";
    for (const std::string& p : planted) {
      EXPECT_EQ(zt::readFile(p), "planted");
      EXPECT_EQ(statOf(p).st_uid, kOther);
    }
  }
  EXPECT_EQ(zt::listFolder(shared), ".f.ini.zdv-tmp .f.ini.zdv-tmp.AAAAAAAAAAAA f.ini");
}

TEST(StorePermissions, LinkOfAnotherUserInAStickyFolderIsNotFollowed) {
  // A link planted by another user in a sticky world-writable folder
  // leads into a folder only root may enter: root's writes through it are
  // refused, as the kernel refuses such links. Links of the caller's own,
  // or of the folder's owner, are followed.
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as a second user";
  zt::TempDir dir;
  const std::string shared = stickyFolder(dir, "shared");
  const std::string theirs = stickyFolder(dir, "theirs");
  ASSERT_EQ(::chown(theirs.c_str(), kOther, kOtherGroup), 0);
  const std::string closed = dir.file("private");
  ASSERT_EQ(::mkdir(closed.c_str(), 0700), 0);
  const std::string secret = closed + "/secret.ini";
  zt::writeFile(secret, kOriginal);
  asOtherUser([&] {
    ASSERT_EQ(::symlink(secret.c_str(), (shared + "/f.ini").c_str()), 0);
    ASSERT_EQ(::symlink((closed + "/new.ini").c_str(), (shared + "/new.ini").c_str()), 0);
    ASSERT_EQ(::symlink(secret.c_str(), (theirs + "/f.ini").c_str()), 0);
  });
  ASSERT_EQ(::symlink(secret.c_str(), (shared + "/mine.ini").c_str()), 0);

  ProfileStore store;
  expectEveryWriteRefused(store, shared + "/f.ini");
  EXPECT_EQ(store.writeString("s", "k", "v", shared + "/new.ini"), 0);
  // Reads refuse it too, whether or not the kernel's rule is on.
  EXPECT_EQ(get(store, "s", "k", shared + "/f.ini"), kDefault);
  EXPECT_EQ(zt::readFile(secret), kOriginal);
  EXPECT_EQ(zt::listFolder(closed), "secret.ini");
  EXPECT_TRUE(S_ISLNK(statOf(shared + "/f.ini").st_mode));

  EXPECT_EQ(store.writeString("s", "k", "mine", shared + "/mine.ini"), 1);
  EXPECT_EQ(store.writeString("t", "x", "owner", theirs + "/f.ini"), 1);
  EXPECT_EQ(get(store, "s", "k", secret), "mine");
  EXPECT_EQ(get(store, "t", "x", theirs + "/f.ini"), "owner");
}

TEST(StorePermissions, FileSwitchedToALinkAtTheOpenIsNeitherReadNorWritten) {
  // Another user's file in a sticky folder becomes a link to a root-only
  // file, or to /dev/zero, at the very moment root's store opens it, and
  // its own file again at the next open: the store decides about the file
  // it opened, so nothing of the secret is read or copied, no device is
  // read, and nothing of the secret reaches a file of the other user.
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as a second user";
  zt::TempDir dir;
  const std::string shared = stickyFolder(dir, "shared");
  const std::string closed = dir.file("private");
  ASSERT_EQ(::mkdir(closed.c_str(), 0700), 0);
  const std::string secret = closed + "/secret.ini";
  zt::writeFile(secret, "[s]\nk=SECRET\n");
  const std::string file = shared + "/f.ini";
  const std::string aside = shared + "/aside";
  const std::string theirs = "[s]\nk=theirs\n";
  for (const std::string& target : {secret, std::string("/dev/zero")}) {
    SCOPED_TRACE(target);
    zt::writeFile(file, theirs);
    ASSERT_EQ(::chown(file.c_str(), kOther, kOtherGroup), 0);
    ASSERT_EQ(::chmod(file.c_str(), 0666), 0);
    auto fs = std::make_shared<zt::FaultyFileSystem>();
    bool linked = false;
    fs->setHook([&](zt::FsOp op, const std::string& path) {
      if (op != zt::FsOp::Open || path != file) return;
      if (!linked) {
        ::rename(file.c_str(), aside.c_str());
        ::symlink(target.c_str(), file.c_str());
        ::lchown(file.c_str(), kOther, kOtherGroup);
      } else {
        ::unlink(file.c_str());
        ::rename(aside.c_str(), file.c_str());
      }
      linked = !linked;
    });
    const auto restore = [&] {
      if (linked) {
        ::unlink(file.c_str());
        ::rename(aside.c_str(), file.c_str());
        linked = false;
      }
    };
    ProfileStore store(fs);
    EXPECT_NE(get(store, "s", "k", file), "SECRET");
    restore();
    store.writeString("s", "root", "root's", file);
    fs->setHook(nullptr);
    restore();
    EXPECT_EQ(zt::readFile(secret), "[s]\nk=SECRET\n");
    std::istringstream names(zt::listFolder(shared));
    for (std::string name; names >> name;) {
      const std::string bytes = zt::readFile(shared + "/" + name);
      EXPECT_EQ(bytes.find("SECRET"), std::string::npos) << name;
    }
  }
}

TEST(StorePermissions, WriteByAnotherUserKeepsOwnerGroupModeAndAttributes) {
  // Files another user may write but does not own: root's file in that
  // user's folder, and a group-shared file. After their writes each is
  // still the same file, with its owner, group, mode and attributes.
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as a second user";
  zt::TempDir dir;
  ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
  const std::string theirs = dir.file("theirs");
  ASSERT_EQ(::mkdir(theirs.c_str(), 0755), 0);
  ASSERT_EQ(::chown(theirs.c_str(), kOther, kOtherGroup), 0);
  const std::string rootFile = theirs + "/root.ini";
  const std::string groupFile = theirs + "/group.ini";
  zt::writeFile(rootFile, kOriginal);
  zt::writeFile(groupFile, kOriginal);
  ASSERT_EQ(::chmod(rootFile.c_str(), 0666), 0);
  ASSERT_EQ(::chown(groupFile.c_str(), 0, kSharedGroup), 0);
  ASSERT_EQ(::chmod(groupFile.c_str(), 0664), 0);
  const bool tagged = ::setxattr(groupFile.c_str(), "user.origin", "root", 4, 0) == 0;
  const struct stat rootBefore = statOf(rootFile);
  const struct stat groupBefore = statOf(groupFile);
  asOtherUser(
      [&] {
        ProfileStore store;
        EXPECT_EQ(store.writeString("s", "k", "by other", rootFile), 1);
        EXPECT_EQ(store.writeSection("t", std::string_view("y=2\0", 4), groupFile), 1);
        EXPECT_EQ(get(store, "s", "k", rootFile), "by other");
        EXPECT_EQ(get(store, "t", "y", groupFile), "2");
      },
      {kSharedGroup});
  for (const auto& [file, before] : {std::pair{rootFile, rootBefore}, {groupFile, groupBefore}}) {
    SCOPED_TRACE(file);
    const struct stat after = statOf(file);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_uid, 0u);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(after.st_mode, before.st_mode);
  }
  EXPECT_EQ(zt::readFile(rootFile), "; kept\r\n[s]\r\nk=by other\r\n\r\n[t]\r\nx=1\r\n");
  if (tagged) {
    char value[16] = {};
    EXPECT_EQ(::getxattr(groupFile.c_str(), "user.origin", value, sizeof value), 4);
    EXPECT_STREQ(value, "root");
  }
  EXPECT_EQ(zt::listFolder(theirs),
            ".group.ini.zdv-journal .root.ini.zdv-journal group.ini root.ini");
}

TEST(StorePermissions, ColleaguesInASharedFolderEachWriteEveryTime) {
  // A group-writable file of one user in a sticky folder (world-writable,
  // or a group folder), written in turn by a colleague in its group, its
  // owner and root, twice each: every write returns 1 and lands, whatever
  // the others left or hold: a lock file planted by a user who may only
  // read the file (world-writable folder), the folder's lock held as any
  // reader of the folder may (group folder). Such a user cannot open a
  // writers' lock file.
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as other users";
  constexpr uid_t kOwner = 54323;
  constexpr uid_t kReader = 54324;
  auto& fs = *zidevuv10::fs::posixFileSystem();
  for (const mode_t folderMode : {01777, 03775}) {
    SCOPED_TRACE("folder mode " + std::to_string(folderMode));
    const bool world = folderMode & S_IWOTH;
    zt::TempDir dir;
    const std::string shared = stickyFolder(dir, "shared");
    ASSERT_EQ(::chown(shared.c_str(), 0, kSharedGroup), 0);
    ASSERT_EQ(::chmod(shared.c_str(), folderMode), 0);
    const std::string file = shared + "/f.ini";
    const std::string lock = zidevuv10::store::lockFileName(file);
    zt::writeFile(file, "[s]\nk=0\n");
    ASSERT_EQ(::chown(file.c_str(), kOwner, kSharedGroup), 0);
    ASSERT_EQ(::chmod(file.c_str(), 0664), 0);
    int held = -1;
    if (world) {
      asUser(kReader, kReader, [&] {
        zt::writeFile(lock, "");
        ASSERT_EQ(::chmod(lock.c_str(), 0666), 0);
      });
    } else {
      held = ::open(shared.c_str(), O_RDONLY | O_DIRECTORY);
      ASSERT_EQ(::flock(held, LOCK_EX), 0);
    }
    int n = 0;
    const auto writeAs = [&](uid_t uid) {
      asUser(uid, uid, [&] {
        zt::ScopedEnv timeout("ZIDEVUV10_LOCK_TIMEOUT_MS", "2000");
        for (int i = 0; i < 2; ++i) {
          ProfileStore store;
          const std::string value = std::to_string(uid) + "-" + std::to_string(n + i);
          EXPECT_EQ(store.writeString("s", "k", value, file), 1) << value;
          EXPECT_EQ(get(store, "s", "k", file), value);
        }
      }, {kSharedGroup});
      n += 2;
    };
    writeAs(kOther);
    writeAs(kOwner);
    writeAs(kOther);
    if (held >= 0) ::close(held);
    ProfileStore root;
    EXPECT_EQ(root.writeString("s", "k", "root", file), 1);
    EXPECT_EQ(get(root, "s", "k", file), "root");
    EXPECT_EQ(statOf(file).st_uid, kOwner);
    EXPECT_EQ(statOf(file).st_mode & 07777, 0664u);
    if (world) continue;
    // A lock file as a colleague makes it: closed to the reader.
    asUser(kOther, kOther, [&] {
      zidevuv10::store::SideContext ctx;
      ASSERT_EQ(zidevuv10::store::sideContextOf(fs, file, ctx), 0);
      const int fd = zidevuv10::store::createSide(fs, lock, ctx, zidevuv10::store::SideKind::Lock);
      ASSERT_GE(fd, 0);
      ::close(fd);
    }, {kSharedGroup});
    asUser(kReader, kReader, [&] {
      ProfileStore reader;
      EXPECT_EQ(get(reader, "s", "k", file), "root");
      for (const int flags : {O_RDONLY, O_WRONLY}) {
        EXPECT_EQ(::open(lock.c_str(), flags), -1);
        EXPECT_EQ(errno, EACCES);
      }
    });
  }
}

}  // namespace
