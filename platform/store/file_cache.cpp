#include "store/file_cache.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <ctime>
#include <new>
#include <utility>

#include "fs/timestamps.h"

namespace zidevuv10::store {

using fs::nanoseconds;

FileIdentity identityOf(const struct stat& st) {
  return {st.st_dev, st.st_ino, st.st_size, nanoseconds(st.st_mtim), nanoseconds(st.st_ctim)};
}

Snapshot FileCache::stat(fs::FileSystem& fs, const std::string& hostPath) {
  Snapshot snap;
  const int rc = fs.lstat(hostPath, snap.st);
  if (rc == -ENOENT || rc == -ENOTDIR) {
    snap.doc = Document::parse({});
  } else if (rc != 0) {
    snap.error = rc;
  } else if (S_ISLNK(snap.st.st_mode)) {
    snap.error = -ELOOP;
  } else if (!S_ISREG(snap.st.st_mode)) {
    snap.error = S_ISDIR(snap.st.st_mode) ? -EISDIR : -EINVAL;
  } else if (static_cast<std::size_t>(snap.st.st_size) > Document::kMaxFileSize) {
    snap.error = -EFBIG;
  } else {
    snap.exists = true;
  }
  return snap;
}

Snapshot FileCache::probe(fs::FileSystem& fs, const std::string& hostPath) {
  Snapshot snap = stat(fs, hostPath);
  if (!snap.exists) return snap;
  std::lock_guard<sync::ForkSafeMutex> lock(mutex_);
  const auto it = entries_.find({snap.st.st_dev, snap.st.st_ino});
  if (it != entries_.end() && it->second.id == identityOf(snap.st) && it->second.settled) {
    it->second.lastUse = ++clock_;
    snap.doc = it->second.doc;
    snap.settled = true;
  }
  return snap;
}

Snapshot FileCache::read(fs::FileSystem& fs, const std::string& hostPath) {
  Snapshot snap = stat(fs, hostPath);
  if (!snap.exists) return snap;
  // The identity recorded is the one the stat gave before the read: if the
  // file changed in between, the next call sees another identity and reads
  // again, so a kept copy is never newer than its identity says.
  snap.readStart = fs::nowNanoseconds();
  const int fd = fs.open(hostPath, O_RDONLY | O_NONBLOCK | O_NOFOLLOW, 0);
  if (fd < 0) {
    snap.exists = false;
    // Gone, or replaced by a link, since the stat: the caller looks again.
    snap.error = fd == -ENOENT || fd == -ELOOP ? -EAGAIN : fd;
    return snap;
  }
  // Decide about the file opened, not the name: a regular file, the one
  // the stat showed. Anything else (a device, a FIFO, another file swapped
  // in) is never read.
  struct stat opened {};
  int err = fs.fstat(fd, opened);
  if (err == 0 && (!S_ISREG(opened.st_mode) || opened.st_dev != snap.st.st_dev ||
                   opened.st_ino != snap.st.st_ino)) {
    err = -EAGAIN;
  }
  // A copy kept under the same identity (a file read or written within
  // its timestamp's tick, which the stat cannot vouch for) is compared with
  // the file rather than replaced by a fresh read: the usual answer, the
  // same bytes, then costs no new buffer and no parse.
  std::shared_ptr<const Document> cached;
  {
    std::lock_guard<sync::ForkSafeMutex> lock(mutex_);
    const auto it = entries_.find({snap.st.st_dev, snap.st.st_ino});
    if (it != entries_.end() && it->second.id == identityOf(snap.st)) cached = it->second.doc;
  }
  if (err == 0 && cached) {
    bool same = false;
    try {
      err = fileHolds(fs, fd, cached->raw(), same);
    } catch (const std::bad_alloc&) {
      err = -ENOMEM;  // as for a file with no room to be read
    }
    if (err == 0 && same) {
      fs.close(fd);
      snap.doc = std::move(cached);
      return snap;
    }
  }
  FileBytes bytes;
  if (err == 0) {
    try {
      err = readFileBytes(fs, fd, static_cast<std::size_t>(std::max<off_t>(snap.st.st_size, 0)),
                          bytes);
    } catch (const std::bad_alloc&) {
      err = -ENOMEM;  // no room for the file's bytes: it cannot be read now
    }
  }
  fs.close(fd);
  if (err == 0 && bytes.view().size() > Document::kMaxFileSize) err = -EFBIG;
  if (err != 0) {
    snap.exists = false;
    snap.error = err;
    return snap;
  }
  snap.doc = Document::parse(std::move(bytes));
  return snap;
}

void FileCache::keep(const Snapshot& snap) {
  if (!snap.exists || snap.settled || !snap.doc) return;
  Entry entry;
  entry.id = identityOf(snap.st);
  entry.doc = snap.doc;
  entry.settled = fs::seenSettled(snap.st, snap.readStart);
  store({snap.st.st_dev, snap.st.st_ino}, std::move(entry));
}

void FileCache::remember(fs::FileSystem& fs, const std::string& hostPath,
                         std::shared_ptr<const Document> doc, const struct stat* previous) {
  if (previous) {
    std::lock_guard<sync::ForkSafeMutex> lock(mutex_);
    if (auto it = entries_.find({previous->st_dev, previous->st_ino}); it != entries_.end()) {
      bytes_ -= it->second.doc->rawCapacity();
      entries_.erase(it);
    }
  }
  struct stat st {};
  if (fs.stat(hostPath, st) != 0) return;
  Entry entry;
  entry.id = identityOf(st);
  entry.doc = std::move(doc);
  entry.settled = false;  // just written: its timestamp can still repeat
  store({st.st_dev, st.st_ino}, std::move(entry));
}

void FileCache::store(const Key& key, Entry entry) {
  std::lock_guard<sync::ForkSafeMutex> lock(mutex_);
  entry.lastUse = ++clock_;
  const std::size_t size = entry.doc->rawCapacity();  // what it takes, not the file's size
  if (size > kMaxBytes / 4) return;  // very large files are not kept
  if (auto it = entries_.find(key); it != entries_.end()) {
    bytes_ -= it->second.doc->rawCapacity();
    entries_.erase(it);
  }
  while (!entries_.empty() && (entries_.size() >= kMaxFiles || bytes_ + size > kMaxBytes)) {
    auto oldest = entries_.begin();
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
      if (it->second.lastUse < oldest->second.lastUse) oldest = it;
    }
    bytes_ -= oldest->second.doc->rawCapacity();
    entries_.erase(oldest);
  }
  bytes_ += size;
  entries_.emplace(key, std::move(entry));
}

void FileCache::clear() {
  std::lock_guard<sync::ForkSafeMutex> lock(mutex_);
  entries_.clear();
  bytes_ = 0;
}

}  // namespace zidevuv10::store
