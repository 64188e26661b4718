// Parsed files kept between calls, with a freshness check on every use:
// a file is taken from the cache only when one stat() shows the same file
// (device, inode, size, change and modification times) and the cached copy
// was read after the file's timestamp could still move. A file whose
// timestamp is younger than its granularity is read again and compared byte
// for byte, so a rewrite of the same size within one timestamp tick is still
// seen. The granularity is judged from the timestamps the file shows: whole
// seconds (nanoseconds always zero, as on FAT, ext4 with small inodes and
// many network mounts) count as two seconds, since FAT keeps even seconds;
// otherwise the tick their digits show, plus the kernel clock's tick.
//
// Thread safety: all members may be called from any thread; an internal
// mutex, free in forked children, guards the table. Documents handed out
// are immutable and shared.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "fs/file_system.h"
#include "sync/fork_safe_mutex.h"
#include "store/document.h"

namespace zidevuv10::store {

struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  int64_t modified = 0;  // nanoseconds
  int64_t changed = 0;
  bool operator==(const FileIdentity&) const = default;
};

FileIdentity identityOf(const struct stat& st);

struct Snapshot {
  std::shared_ptr<const Document> doc;  // empty document for a missing file
  bool exists = false;
  struct stat st {};  // of the file read, when it exists
  // -errno when the file exists but cannot be read as a file; -ELOOP when
  // the path names a symbolic link (never followed here: the caller applies
  // the link rules and reads the file they lead to); -EAGAIN when the file
  // changed between its stat and its opening.
  int error = 0;
  bool settled = false;     // taken from the cache: found whole when it was read
  int64_t readStart = 0;    // when the bytes were read (nanoseconds)
};

class FileCache {
 public:
  static constexpr std::size_t kMaxFiles = 64;
  static constexpr std::size_t kMaxBytes = std::size_t{512} << 20;

  // The file as the cache knows it: a settled copy whose identity the
  // file still shows (`settled`), or else no document, with the stat.
  Snapshot probe(fs::FileSystem& fs, const std::string& hostPath);
  // The file read from the disk now, whatever the cache holds (a cached
  // copy with the same bytes is reused). The file is opened without
  // following a link and must be the regular file the stat showed. The
  // copy is not kept: the caller keeps it once it knows the read was whole.
  Snapshot read(fs::FileSystem& fs, const std::string& hostPath);
  // Keeps a document read whole.
  void keep(const Snapshot& snap);
  // Records the content just written to a file, in place of the version
  // it replaced (`previous`, null for a new file).
  void remember(fs::FileSystem& fs, const std::string& hostPath,
                std::shared_ptr<const Document> doc, const struct stat* previous);
  void clear();

 private:
  struct Entry {
    FileIdentity id;
    std::shared_ptr<const Document> doc;
    bool settled = false;  // read long enough after its last change
    uint64_t lastUse = 0;
  };
  struct Key {
    dev_t device;
    ino_t inode;
    bool operator==(const Key&) const = default;
  };
  struct KeyHash {
    std::size_t operator()(const Key& k) const {
      return std::hash<uint64_t>{}(static_cast<uint64_t>(k.inode) * 1000003u ^
                                   static_cast<uint64_t>(k.device));
    }
  };

  Snapshot stat(fs::FileSystem& fs, const std::string& hostPath);
  void store(const Key& key, Entry entry);

  sync::ForkSafeMutex mutex_;
  std::unordered_map<Key, Entry, KeyHash> entries_;
  std::size_t bytes_ = 0;
  uint64_t clock_ = 0;
};

}  // namespace zidevuv10::store
