#include "store/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <functional>

namespace zidevuv10::store {

namespace {

std::string baseName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string temporaryName(const std::string& target) {
  std::string base = baseName(target);
  // Keep the name within the usual 255-byte limit.
  if (base.size() > 200) base = std::to_string(std::hash<std::string>{}(base));
  const std::string folder = folderOf(target);
  return (folder == "." ? std::string() : folder + "/") + "." + base + ".zdv-tmp";
}

}  // namespace

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

int resolveWriteTarget(fs::FileSystem& fs, const std::string& path, std::string& target) {
  target = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    const int rc = fs.lstat(target, st);
    if (rc == -ENOENT) return 0;
    if (rc != 0) return rc;
    if (!S_ISLNK(st.st_mode)) return 0;
    std::string link;
    if (const int r = fs.readlink(target, link); r != 0) return r;
    target = !link.empty() && link.front() == '/' ? link : folderOf(target) + "/" + link;
  }
  return -ELOOP;
}

int replaceFile(fs::FileSystem& fs, const std::string& target, std::string_view bytes,
                const struct stat* previous) {
  const std::string temp = temporaryName(target);
  const mode_t mode = previous ? (previous->st_mode & 07777) : 0666;
  const int fd = fs.open(temp, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW, mode);
  if (fd < 0) return fd;
  int rc = fs::writeAll(fs, fd, bytes.data(), bytes.size());
  if (rc == 0 && previous) {
    // The new file takes the old one's permissions and, where allowed, owner.
    rc = fs.fchmod(fd, mode);
    if (rc == 0 && (previous->st_uid != ::geteuid() || previous->st_gid != ::getegid())) {
      fs.fchown(fd, previous->st_uid, previous->st_gid);
    }
  }
  if (rc == 0) rc = fs.fsync(fd);
  const int closed = fs.close(fd);
  if (rc == 0) rc = closed;
  if (rc == 0) rc = fs.rename(temp, target);
  if (rc != 0) {
    fs.unlink(temp);
    return rc;
  }
  // The rename itself must survive a machine crash too: sync the folder.
  const int dir = fs.open(folderOf(target), O_RDONLY | O_DIRECTORY, 0);
  if (dir < 0) return dir;
  rc = fs.fsync(dir);
  fs.close(dir);
  return rc;
}

int removeLeftover(fs::FileSystem& fs, const std::string& target) {
  const int rc = fs.unlink(temporaryName(target));
  return rc == -ENOENT ? 0 : rc;
}

int syncFileAndFolder(fs::FileSystem& fs, const std::string& path) {
  int rc = 0;
  if (const int fd = fs.open(path, O_RDONLY, 0); fd >= 0) {
    rc = fs.fsync(fd);
    fs.close(fd);
  } else if (fd != -ENOENT) {
    rc = fd;
  }
  if (const int dir = fs.open(folderOf(path), O_RDONLY | O_DIRECTORY, 0); dir >= 0) {
    const int r = fs.fsync(dir);
    if (rc == 0) rc = r;
    fs.close(dir);
  } else if (rc == 0) {
    rc = dir;
  }
  return rc;
}

}  // namespace zidevuv10::store
