#include "store/side_files.h"

#include <fcntl.h>

#include <cerrno>

#include "paths/host_path.h"

namespace zidevuv10::store {

namespace {

// Whether a file owned by uid, with group gid, may come from a writer of
// the settings file.
bool byWriter(fs::FileSystem& fs, uid_t uid, gid_t gid, const SideContext& ctx) {
  if (uid == fs.effectiveUid() || uid == 0) return true;
  if (!ctx.fileExists) return uid == ctx.folder.st_uid;
  const struct stat& f = ctx.file;
  if (uid == f.st_uid || (f.st_mode & S_IWOTH)) return true;
  if (gid != f.st_gid || !(f.st_mode & S_IWGRP)) return false;
  // Only a member can give a new file a group, except in a set-group-ID
  // folder of that group, where every new file gets it: there the group
  // proves membership only when nobody outside the folder's group and
  // owner may create files.
  const struct stat& d = ctx.folder;
  return !((d.st_mode & S_ISGID) && d.st_gid == f.st_gid && (d.st_mode & S_IWOTH));
}

// The group and other permission bits a side file with group gid may have.
mode_t allowedBits(gid_t gid, const SideContext& ctx, SideKind kind) {
  if (!ctx.fileExists) return 0;
  const mode_t m = ctx.file.st_mode;
  mode_t allowed = 0;
  if (gid == ctx.file.st_gid) {
    if (m & S_IWGRP) allowed |= S_IRGRP | S_IWGRP;
    if (kind == SideKind::Journal && (m & S_IRGRP)) allowed |= S_IRGRP;
  }
  if (m & S_IWOTH) allowed |= S_IROTH | S_IWOTH;
  if (kind == SideKind::Journal && (m & S_IROTH)) allowed |= S_IROTH;
  return allowed;
}

}  // namespace

int sideContextOf(fs::FileSystem& fs, const std::string& target, SideContext& ctx) {
  ctx = SideContext{};
  const int rc = fs.lstat(target, ctx.file);
  if (rc != 0 && rc != -ENOENT) return rc;
  ctx.fileExists = rc == 0;
  return fs.stat(paths::folderOf(target), ctx.folder);
}

bool trustedSide(fs::FileSystem& fs, const struct stat& side, const SideContext& ctx,
                 SideKind kind) {
  if (!S_ISREG(side.st_mode) || side.st_nlink != 1) return false;
  if (!byWriter(fs, side.st_uid, side.st_gid, ctx)) return false;
  return (side.st_mode & 077 & ~allowedBits(side.st_gid, ctx, kind)) == 0;
}

int openSide(fs::FileSystem& fs, const std::string& path, int flags, const SideContext& ctx,
             SideKind kind) {
  // O_NONBLOCK: a FIFO planted under the name must not stall the open.
  const int fd = fs.open(path, flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0);
  if (fd == -ELOOP) return -EEXIST;  // a symbolic link: never ours
  if (fd < 0) return fd;
  struct stat st {};
  int rc = fs.fstat(fd, st);
  // No links left: its owner removed the name after this open. That is no
  // file in the way (it would make a writer fall back to the folder's lock
  // beside the next lock file's holder), just none there any more.
  if (rc == 0 && st.st_nlink == 0) rc = -ENOENT;
  if (rc == 0 && !trustedSide(fs, st, ctx, kind)) rc = -EEXIST;
  if (rc != 0) {
    fs.close(fd);
    return rc;
  }
  return fd;
}

int createSide(fs::FileSystem& fs, const std::string& path, const SideContext& ctx,
               SideKind kind) {
  const int fd = fs.open(path, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return fd;
  struct stat own {};
  int rc = fs.fstat(fd, own);
  if (rc == 0 && ctx.fileExists && own.st_gid != ctx.file.st_gid) {
    // -EPERM: the caller is not in the file's group; the side file keeps
    // the caller's group and gives that group nothing.
    const int r = fs.fchown(fd, static_cast<uid_t>(-1), ctx.file.st_gid);
    if (r == 0) {
      own.st_gid = ctx.file.st_gid;
    } else if (r != -EPERM) {
      rc = r;
    }
  }
  if (rc == 0) rc = fs.fchmod(fd, 0600 | allowedBits(own.st_gid, ctx, kind));
  if (rc != 0) {
    fs.close(fd);
    fs.unlink(path);
    return rc;
  }
  return fd;
}

int openOrCreateSide(fs::FileSystem& fs, const std::string& path, const SideContext& ctx,
                     SideKind kind, bool& created) {
  for (int attempt = 0; attempt < 4; ++attempt) {
    created = false;
    const int fd = openSide(fs, path, O_RDWR, ctx, kind);
    if (fd != -ENOENT) return fd;
    const int made = createSide(fs, path, ctx, kind);
    if (made != -EEXIST) {
      created = made >= 0;
      return made;
    }
    // Someone created it between the two calls: open theirs.
  }
  // Created and removed again under this caller's hands each time: the
  // caller looks again (this is no file in the way).
  return -EAGAIN;
}

}  // namespace zidevuv10::store
