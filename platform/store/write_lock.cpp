#include "store/write_lock.h"

#include <fcntl.h>

#include <cerrno>
#include <chrono>

#include "paths/host_path.h"
#include "store/atomic_file.h"
#include "store/side_files.h"
#include "text/case_fold.h"

namespace zidevuv10::store {

std::string lockFileName(const std::string& target) {
  const std::string folder = paths::folderOf(target);
  const std::string folded = text::foldCase(paths::nameOf(target));
  return siblingName((folder == "." ? std::string() : folder + "/") + folded, ".zdv-lock");
}

int WriteLock::acquireLockFile(fs::FileSystem& fs, const std::string& target, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  lockPath_ = lockFileName(target);
  for (;;) {
    SideContext ctx;
    if (const int rc = sideContextOf(fs, target, ctx); rc != 0) return rc;
    bool created = false;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    const int rc = file_.acquire(
        fs, [&] { return openOrCreateSide(fs, lockPath_, ctx, SideKind::Lock, created); },
        static_cast<int>(std::max<int64_t>(left.count(), 0)));
    if (rc == -EAGAIN && std::chrono::steady_clock::now() < deadline) continue;
    if (rc == -EAGAIN) return -ETIMEDOUT;
    if (rc != 0) {
      // A lock file this call made but could not lock goes again.
      if (created) fs.unlink(lockPath_);
      return rc;
    }
    // The previous holder may have removed the name after this caller
    // opened it: the lock counts only while the name is still this file.
    struct stat held {};
    struct stat named {};
    if (fs.fstat(file_.fd(), held) == 0 && fs.lstat(lockPath_, named) == 0 &&
        held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
      ownFile_ = held.st_uid == fs.effectiveUid();
      foundLockFile_ = !created;
      return 0;
    }
    file_.release();
    if (std::chrono::steady_clock::now() >= deadline) return -ETIMEDOUT;
  }
}

int WriteLock::acquire(fs::FileSystem& fs, const std::string& target, int timeoutMs) {
  release();
  fs_ = &fs;
  const std::string folder = paths::folderOf(target);
  const int rc = acquireLockFile(fs, target, timeoutMs);
  if (rc == -EEXIST || rc == -EACCES || rc == -EPERM || rc == -EROFS) {
    // No usable lock file: the folder's lock, waited for as before.
    foundLockFile_ = true;
    return folder_.acquire(
        fs, [&] { return fs.open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0); }, timeoutMs);
  }
  if (rc != 0) return rc;
  folder_.acquire(
      fs, [&] { return fs.open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0); }, kFolderTryMs);
  return 0;
}

void WriteLock::release() {
  // The lock file goes with its owner's last use; while others wait on it
  // it stays, so that they keep their turn (a waiter marks itself on it).
  if (file_.held() && ownFile_ && fs_->othersWaiting(file_.fd()) != 1) fs_->unlink(lockPath_);
  ownFile_ = false;
  foundLockFile_ = false;
  folder_.release();
  file_.release();
}

}  // namespace zidevuv10::store
