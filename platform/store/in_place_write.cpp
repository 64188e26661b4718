#include "store/in_place_write.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <thread>

#include "paths/host_path.h"
#include "store/atomic_file.h"

namespace zidevuv10::store {

namespace {

constexpr char kMagic[16] = "zdv-journal v1\n";

struct Header {
  char magic[16];
  uint64_t device;
  uint64_t inode;
  uint64_t length;
  uint64_t checksum;
};

std::string journalName(const std::string& target) {
  return siblingName(target, ".zdv-journal");
}

std::string markName(const std::string& target) { return siblingName(target, ".zdv-busy"); }

bool sameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Removes the mark when it is a name of the file itself.
int removeMark(fs::FileSystem& fs, const std::string& mark, const struct stat& file) {
  struct stat st {};
  const int rc = fs.lstat(mark, st);
  if (rc == -ENOENT) return 0;
  if (rc != 0) return rc;
  if (!sameFile(st, file)) return 0;  // someone else's
  const int r = fs.unlink(mark);
  return r == -ENOENT ? 0 : r;
}

// FNV-1a: finds a journal cut short by a crash (its trust comes from its
// owner, not from this sum).
uint64_t checksum(std::string_view bytes) {
  uint64_t h = 14695981039346656037ull;
  for (const char c : bytes) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ull;
  }
  return h;
}

bool later(const timespec& a, const timespec& b) {
  return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec > b.tv_nsec;
}

// Writes the bytes over the open file from its start, cuts it to their
// length and syncs it. The cut is repeated until the change time has moved
// past the one the writes left (at most about one timestamp tick, bounded
// for file systems whose times hardly move), so that a reader that
// overlapped the writes sees the change time differ afterwards.
int writeOver(fs::FileSystem& fs, int fd, std::string_view bytes) {
  if (const int rc = fs::writeAll(fs, fd, bytes.data(), bytes.size()); rc != 0) return rc;
  struct stat written {};
  if (const int rc = fs.fstat(fd, written); rc != 0) return rc;
  const auto length = static_cast<off_t>(bytes.size());
  for (int attempt = 0;; ++attempt) {
    if (const int rc = fs.ftruncate(fd, length); rc != 0) return rc;
    struct stat now {};
    if (const int rc = fs.fstat(fd, now); rc != 0) return rc;
    if (later(now.st_ctim, written.st_ctim) || attempt >= 2100) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return fs.fsync(fd);
}

// Opens `target` for writing, making sure it is still the file `st` names.
int openSameFile(fs::FileSystem& fs, const std::string& target, const struct stat& st) {
  const int fd = fs.open(target, O_WRONLY | O_NOFOLLOW | O_NONBLOCK, 0);
  if (fd < 0) return fd == -EPERM ? -EACCES : fd;
  struct stat now {};
  int rc = fs.fstat(fd, now);
  if (rc == 0 && (now.st_dev != st.st_dev || now.st_ino != st.st_ino)) rc = -ESTALE;
  if (rc != 0) {
    fs.close(fd);
    return rc;
  }
  return fd;
}

int writeInPlace(fs::FileSystem& fs, const std::string& target, const struct stat& st,
                 std::string_view bytes) {
  const int fd = openSameFile(fs, target, st);
  if (fd < 0) return fd;
  const int rc = writeOver(fs, fd, bytes);
  const int closed = fs.close(fd);
  return rc != 0 ? rc : closed;
}

// Lets those who may read the file read its journal too: the file's group
// (when the journal can have it) and others, as the file allows.
int shareLikeFile(fs::FileSystem& fs, int fd, const struct stat& file) {
  struct stat own {};
  if (const int rc = fs.fstat(fd, own); rc != 0) return rc;
  if (own.st_gid != file.st_gid) {
    const int rc = fs.fchown(fd, static_cast<uid_t>(-1), file.st_gid);
    if (rc == 0) {
      own.st_gid = file.st_gid;
    } else if (rc != -EPERM) {
      return rc;  // -EPERM: not in the file's group; the journal stays private
    }
  }
  mode_t mode = 0600 | (file.st_mode & S_IROTH);
  if (own.st_gid == file.st_gid) mode |= file.st_mode & S_IRGRP;
  return fs.fchmod(fd, mode);
}

int writeJournal(fs::FileSystem& fs, const std::string& journal, const struct stat& st,
                 std::string_view bytes) {
  const int fd = fs.open(journal, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0600);
  if (fd < 0) return fd;
  Header h {};
  std::memcpy(h.magic, kMagic, sizeof h.magic);
  h.device = static_cast<uint64_t>(st.st_dev);
  h.inode = static_cast<uint64_t>(st.st_ino);
  h.length = bytes.size();
  h.checksum = checksum(bytes);
  int rc = shareLikeFile(fs, fd, st);
  if (rc == 0) rc = fs::writeAll(fs, fd, reinterpret_cast<const char*>(&h), sizeof h);
  if (rc == 0) rc = fs::writeAll(fs, fd, bytes.data(), bytes.size());
  if (rc == 0) rc = fs.fsync(fd);
  const int closed = fs.close(fd);
  if (rc == 0) rc = closed;
  if (rc != 0) fs.unlink(journal);
  return rc;
}

// Whether the journal's author could have written the file anyway.
bool trusted(fs::FileSystem& fs, const std::string& target, const struct stat& journal,
             const struct stat& file) {
  if (!S_ISREG(journal.st_mode) || journal.st_nlink != 1) return false;
  if (journal.st_uid == fs.effectiveUid() || journal.st_uid == 0) return true;
  if (file.st_mode & S_IWOTH) return true;
  if (journal.st_uid == file.st_uid && (file.st_mode & S_IWUSR)) return true;
  if (journal.st_gid == file.st_gid && (file.st_mode & S_IWGRP)) {
    // Only a member of a group can give a new file that group, except in a
    // set-group-ID folder, whose new files all get the folder's group.
    struct stat folder {};
    if (fs.stat(paths::folderOf(target), folder) != 0) return false;
    return !(folder.st_mode & S_ISGID) || folder.st_gid != file.st_gid;
  }
  return false;
}

int readWhole(fs::FileSystem& fs, const std::string& path, std::string& out,
              struct stat* expect) {
  const int fd = fs.open(path, O_RDONLY | O_NOFOLLOW | O_NONBLOCK, 0);
  if (fd < 0) return fd;
  int rc = 0;
  if (expect) {
    struct stat st {};
    rc = fs.fstat(fd, st);
    if (rc == 0 && (st.st_dev != expect->st_dev || st.st_ino != expect->st_ino)) rc = -ESTALE;
  }
  if (rc == 0) rc = fs::readAll(fs, fd, out);
  fs.close(fd);
  return rc;
}

}  // namespace

int overwriteInPlace(fs::FileSystem& fs, const std::string& target, const struct stat& st,
                     std::string_view bytes, std::string_view oldBytes) {
  const std::string journal = journalName(target);
  const std::string mark = markName(target);
  const std::string folder = paths::folderOf(target);
  if (const int rc = writeJournal(fs, journal, st, bytes); rc != 0) return rc;
  int rc = fs.link(target, mark);
  // Journal and mark must be durable before the file is touched.
  if (rc == 0) {
    rc = syncFolder(fs, folder);
    if (rc != 0) fs.unlink(mark);
  }
  if (rc != 0) {
    fs.unlink(journal);
    return rc;
  }
  rc = writeInPlace(fs, target, st, bytes);
  if (rc != 0) {
    // Put the old content back; when even that fails, journal and mark
    // stay and the next access finishes the new version.
    if (writeInPlace(fs, target, st, oldBytes) == 0 && fs.unlink(mark) == 0 &&
        fs.unlink(journal) == 0) {
      syncFolder(fs, folder);
    }
    return rc;
  }
  if (const int r = fs.unlink(mark); r != 0) return r;
  if (const int r = fs.unlink(journal); r != 0) return r;
  return syncFolder(fs, folder);
}

bool overwritePending(fs::FileSystem& fs, const std::string& target) {
  struct stat st {};
  const int rc = fs.lstat(markName(target), st);
  return rc != -ENOENT && rc != -ENOTDIR;
}

int finishInterruptedOverwrite(fs::FileSystem& fs, const std::string& target,
                               std::optional<std::string>& served) {
  served.reset();
  const std::string journal = journalName(target);
  const std::string mark = markName(target);
  struct stat file {};
  if (const int rc = fs.stat(target, file); rc != 0 && rc != -ENOENT) return rc;
  const bool exists = file.st_nlink > 0;
  struct stat js {};
  if (const int rc = fs.lstat(journal, js); rc != 0) {
    if (rc != -ENOENT) return rc;
    // A mark without a journal: the file was not touched yet.
    return exists ? removeMark(fs, mark, file) : 0;
  }
  const bool ours = S_ISREG(js.st_mode) && js.st_uid == fs.effectiveUid();
  // No file: the journal belongs to one replaced or removed since.
  if (!exists) {
    if (ours) fs.unlink(journal);
    return 0;
  }
  if (!trusted(fs, target, js, file)) return 0;
  std::string bytes;
  if (const int rc = readWhole(fs, journal, bytes, &js); rc != 0) return rc;
  Header h {};
  bool whole = bytes.size() >= sizeof h;
  if (whole) {
    std::memcpy(&h, bytes.data(), sizeof h);
    whole = std::memcmp(h.magic, kMagic, sizeof h.magic) == 0 &&
            h.length == bytes.size() - sizeof h &&
            h.checksum == checksum(std::string_view(bytes).substr(sizeof h));
  }
  if (!whole || h.device != static_cast<uint64_t>(file.st_dev) ||
      h.inode != static_cast<uint64_t>(file.st_ino)) {
    // Cut short before the file was touched, or about a file replaced
    // since: nothing to finish.
    if (const int rc = removeMark(fs, mark, file); rc != 0) return rc;
    if (ours) {
      if (const int rc = fs.unlink(journal); rc != 0 && rc != -ENOENT) return rc;
    }
    return 0;
  }
  const std::string_view content = std::string_view(bytes).substr(sizeof h);
  std::string now;
  const int read = readWhole(fs, target, now, &file);
  if (read != 0 || now != content) {
    const int rc = writeInPlace(fs, target, file, content);
    if (rc == -EACCES) {
      served = std::string(content);
      return 0;
    }
    if (rc != 0) return rc;
  }
  if (const int rc = removeMark(fs, mark, file); rc != 0 && rc != -EACCES && rc != -EPERM) {
    return rc;
  }
  const int rc = fs.unlink(journal);
  // A journal of someone else that this caller may not remove stays; it
  // holds what the file now holds.
  if (rc == -EACCES || rc == -EPERM) return 0;
  if (rc != 0 && rc != -ENOENT) return rc;
  return syncFolder(fs, paths::folderOf(journal));
}

}  // namespace zidevuv10::store
