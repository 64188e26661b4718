// Remembers which parsed files a read has already found whole (read while
// no overwrite in place ran), so that a later read that gets the very same
// document for the same file identity needs no second stat() to prove it.
//
// Thread safety: all members may be called from any thread; a mutex guards
// the table.
#pragma once

#include <sys/types.h>

#include <memory>
#include <mutex>
#include <unordered_map>

#include "store/file_cache.h"

namespace zidevuv10::store {

class WholeReads {
 public:
  static constexpr std::size_t kMaxFiles = FileCache::kMaxFiles;

  // Whether this snapshot's document was found whole before, for the same
  // identity of the file.
  bool known(const Snapshot& snap);
  void remember(const Snapshot& snap);

 private:
  struct Entry {
    FileIdentity id;
    std::weak_ptr<const Document> doc;  // alive only while someone holds it
  };
  sync::ForkSafeMutex mutex_;  // free again in a forked child
  std::unordered_map<ino_t, Entry> entries_;
};

}  // namespace zidevuv10::store
