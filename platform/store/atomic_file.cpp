#include "store/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <mutex>
#include <vector>

#include "paths/host_path.h"
#include "store/file_metadata.h"
#include "store/in_place_write.h"

namespace zidevuv10::store {

std::string siblingName(const std::string& target, std::string_view suffix) {
  std::string base = paths::nameOf(target);
  // Keep the name within the usual 255-byte limit.
  if (base.size() > 200) base = std::to_string(std::hash<std::string>{}(base));
  const std::string folder = paths::folderOf(target);
  return (folder == "." ? std::string() : folder + "/") + "." + base + std::string(suffix);
}

int resolveWriteTarget(fs::FileSystem& fs, const std::string& path, std::string& target) {
  target = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    const int rc = fs.lstat(target, st);
    if (rc == -ENOENT) return 0;
    if (rc != 0) return rc;
    if (!S_ISLNK(st.st_mode)) return 0;
    // The kernel's rule for links in sticky world-writable folders (such as
    // /tmp): one is followed only when it belongs to the caller or to the
    // folder's owner, so that nobody can steer another user's write by
    // planting a link there.
    struct stat folder {};
    if (const int r = fs.stat(paths::folderOf(target), folder); r != 0) return r;
    if ((folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH) && st.st_uid != fs.effectiveUid() &&
        st.st_uid != folder.st_uid) {
      return -EACCES;
    }
    std::string link;
    if (const int r = fs.readlink(target, link); r != 0) return r;
    target = !link.empty() && link.front() == '/' ? link : paths::folderOf(target) + "/" + link;
  }
  return -ELOOP;
}

namespace {

constexpr std::string_view kTemporarySuffix = ".zdv-tmp";
constexpr std::size_t kRandomChars = 12;

bool isRandomTail(std::string_view tail) {
  if (tail.size() != kRandomChars + 1 || tail.front() != '.') return false;
  for (const char c : tail.substr(1)) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) {
      return false;
    }
  }
  return true;
}

// Creates a temporary file beside the target under a fresh unpredictable
// name, failing rather than opening anything that already exists.
int createTemporary(fs::FileSystem& fs, const std::string& target, mode_t mode,
                    std::string& name) {
  static constexpr char kAlphabet[] =
      "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  const std::string prefix = siblingName(target, kTemporarySuffix) + ".";
  for (int attempt = 0; attempt < 100; ++attempt) {
    unsigned char random[kRandomChars];
    if (const int rc = fs.randomBytes(random, sizeof random); rc != 0) return rc;
    name = prefix;
    for (const unsigned char r : random) name += kAlphabet[r % 62];
    const int fd = fs.open(name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, mode);
    if (fd != -EEXIST) return fd;
  }
  return -EEXIST;
}

// Writes the new copy beside the target and renames it over it. With
// `current` (the target's descriptor and stat) the copy takes its owner,
// group, mode and extended attributes first; -EPERM or -ENOTSUP from that
// means the copy cannot carry them.
int replaceByRename(fs::FileSystem& fs, const std::string& target, std::string_view bytes,
                    int currentFd, const struct stat* current) {
  std::string temp;
  const int fd = createTemporary(fs, target, current ? 0600 : 0666, temp);
  if (fd < 0) return fd;
  int rc = fs::writeAll(fs, fd, bytes.data(), bytes.size());
  if (rc == 0 && current) rc = carryMetadata(fs, currentFd, *current, fd);
  if (rc == 0) rc = fs.fsync(fd);
  const int closed = fs.close(fd);
  if (rc == 0) rc = closed;
  if (rc == 0) rc = fs.rename(temp, target);
  if (rc != 0) fs.unlink(temp);
  // The folder is not synced here: until it is (by the all-absent flush, a
  // journal's creation or the file system's own writeback), a power loss
  // may bring back the old file, never a torn one, because the new copy was
  // synced before its name replaced the old. The flush is the call that
  // makes a change durable; a folder sync on every write would cost a
  // second flush of the disk, as much again as the rest of the write.
  return rc;
}

}  // namespace

bool renameKeepsIdentity(fs::FileSystem& fs, const struct stat& st) {
  const uid_t self = fs.effectiveUid();
  return st.st_nlink <= 1 && (st.st_uid == self || self == 0);
}

int syncFolder(fs::FileSystem& fs, const std::string& folder) {
  const int dir = fs.open(folder, O_RDONLY | O_DIRECTORY, 0);
  if (dir < 0) return dir;
  const int rc = fs.fsync(dir);
  fs.close(dir);
  return rc;
}

int replaceFile(fs::FileSystem& fs, const std::string& target, std::string_view bytes,
                std::string_view oldBytes, const struct stat* previous, const SideContext& ctx) {
  if (!previous) return replaceByRename(fs, target, bytes, -1, nullptr);
  // Opening the file for writing asks the kernel whether the caller may
  // write it: mode, ACL, immutable flag, read-only mount. The decision is
  // made about the file opened: the regular file that was read.
  struct stat st {};
  const int fd = openSameFile(fs, target, *previous, &st);
  if (fd < 0) return fd;
  int rc = 0;
  if (renameKeepsIdentity(fs, st)) {
    rc = replaceByRename(fs, target, bytes, fd, &st);
    if (rc != -EPERM && rc != -ENOTSUP && rc != -EOPNOTSUPP) {
      fs.close(fd);
      return rc;
    }
    rc = 0;  // the copy cannot carry the group or an attribute: keep the inode
  }
  if (rc == 0) rc = overwriteInPlace(fs, fd, target, ctx, st, bytes, oldBytes);
  // After the sync the outcome is decided: a failing close changes nothing
  // of what the file holds, and must not report a durable write as failed.
  fs.close(fd);
  return rc;
}

int removeLeftover(fs::FileSystem& fs, const std::string& target) {
  // Temporary files of this target that a crashed or failed writer left:
  // only regular files of the caller's own, with the name pattern of ours.
  const std::string folder = paths::folderOf(target);
  const std::string fixed = siblingName(target, kTemporarySuffix);
  const std::string prefix = paths::nameOf(fixed);
  std::vector<std::string> names;
  if (const int rc = fs.listFolder(folder, names); rc != 0) return rc;
  for (const std::string& name : names) {
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string_view tail = std::string_view(name).substr(prefix.size());
    if (!tail.empty() && !isRandomTail(tail)) continue;
    const std::string path = (folder == "." ? std::string() : folder + "/") + name;
    struct stat st {};
    const int rc = fs.lstat(path, st);
    if (rc == -ENOENT) continue;
    if (rc != 0) return rc;
    if (!S_ISREG(st.st_mode) || st.st_uid != fs.effectiveUid()) continue;
    if (const int r = fs.unlink(path); r != 0 && r != -ENOENT) return r;
  }
  return 0;
}

bool LeftoverSweeps::due(const std::string& target) {
  std::lock_guard<sync::ForkSafeMutex> lock(mutex_);
  if (writes_.size() >= kMaxFiles && !writes_.contains(target)) writes_.clear();
  uint32_t& count = writes_[target];
  const bool sweep = count == 0;
  count = (count + 1) % kEvery;
  return sweep;
}

void LeftoverSweeps::again(const std::string& target) {
  std::lock_guard<sync::ForkSafeMutex> lock(mutex_);
  writes_.erase(target);
}

int syncFileAndFolder(fs::FileSystem& fs, const std::string& path) {
  int rc = 0;
  if (const int fd = fs.open(path, O_RDONLY, 0); fd >= 0) {
    rc = fs.fsync(fd);
    fs.close(fd);
  } else if (fd != -ENOENT) {
    rc = fd;
  }
  if (const int dir = fs.open(paths::folderOf(path), O_RDONLY | O_DIRECTORY, 0); dir >= 0) {
    const int r = fs.fsync(dir);
    if (rc == 0) rc = r;
    fs.close(dir);
  } else if (rc == 0) {
    rc = dir;
  }
  return rc;
}

}  // namespace zidevuv10::store
