// Folders' names by case-folded form, kept between lookups, for the
// case-insensitive match of a name that does not exist as given: in a big
// folder, listing it for every such lookup costs far more than the lookup.
//
// A folder's listing is used again only while a stat() of the folder shows
// the same folder (device, inode) with the same modification and change
// times, and only when it was taken at least the timestamp granularity after
// the folder last changed (fs/timestamps.h): an entry added or removed later
// moves the times, while one added within that time might leave them as
// they were. Other listings are used once and not kept.
//
// Thread safety: all members may be called from any thread.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "fs/file_system.h"
#include "sync/fork_safe_mutex.h"

namespace zidevuv10::paths {

class FolderNames {
 public:
  // Folders kept at once; the oldest goes first.
  static constexpr std::size_t kMaxFolders = 8;

  // The smallest name in `folder` equal to `name` without regard to case;
  // empty when there is none or the folder cannot be listed.
  std::string match(fs::FileSystem& fs, const std::string& folder, std::string_view name);

 private:
  struct Listing {
    struct stat st {};
    std::unordered_map<std::string, std::string> byFolded;  // folded -> smallest name
    uint64_t lastUse = 0;
  };
  std::shared_ptr<const Listing> kept(const std::string& folder, const struct stat& st);
  void keep(const std::string& folder, std::shared_ptr<Listing> listing);

  sync::ForkSafeMutex mutex_;
  std::unordered_map<std::string, std::shared_ptr<Listing>> folders_;
  uint64_t clock_ = 0;
};

}  // namespace zidevuv10::paths
