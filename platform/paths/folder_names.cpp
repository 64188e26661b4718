#include "paths/folder_names.h"

#include <mutex>
#include <vector>

#include "fs/timestamps.h"
#include "text/case_fold.h"

namespace zidevuv10::paths {

namespace {

bool sameFolderState(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino &&
         fs::nanoseconds(a.st_mtim) == fs::nanoseconds(b.st_mtim) &&
         fs::nanoseconds(a.st_ctim) == fs::nanoseconds(b.st_ctim);
}

}  // namespace

std::shared_ptr<const FolderNames::Listing> FolderNames::kept(const std::string& folder,
                                                              const struct stat& st) {
  std::lock_guard<sync::ForkSafeMutex> lock(mutex_);
  const auto it = folders_.find(folder);
  if (it == folders_.end()) return nullptr;
  if (!sameFolderState(it->second->st, st)) {
    folders_.erase(it);
    return nullptr;
  }
  it->second->lastUse = ++clock_;
  return it->second;
}

void FolderNames::keep(const std::string& folder, std::shared_ptr<Listing> listing) {
  std::lock_guard<sync::ForkSafeMutex> lock(mutex_);
  folders_.erase(folder);
  while (folders_.size() >= kMaxFolders) {
    auto oldest = folders_.begin();
    for (auto it = folders_.begin(); it != folders_.end(); ++it) {
      if (it->second->lastUse < oldest->second->lastUse) oldest = it;
    }
    folders_.erase(oldest);
  }
  listing->lastUse = ++clock_;
  folders_.emplace(folder, std::move(listing));
}

std::string FolderNames::match(fs::FileSystem& fs, const std::string& folder,
                               std::string_view name) {
  const std::string folded = text::foldCase(name);
  struct stat st {};
  const bool statted = fs.stat(folder, st) == 0;
  if (statted) {
    if (const auto listing = kept(folder, st)) {
      const auto it = listing->byFolded.find(folded);
      return it == listing->byFolded.end() ? std::string() : it->second;
    }
  }
  // The time is taken before the listing: a change after it moves the
  // folder's times past what this stat showed.
  const int64_t listedAt = fs::nowNanoseconds();
  std::vector<std::string> names;
  if (fs.listFolder(folder, names) != 0) return {};
  if (!statted || !fs::seenSettled(st, listedAt)) {
    // Not to be kept: a scan for this one name.
    std::string match;
    for (const auto& n : names) {
      if (text::foldCase(n) == folded && (match.empty() || n < match)) match = n;
    }
    return match;
  }
  auto listing = std::make_shared<Listing>();
  listing->st = st;
  listing->byFolded.reserve(names.size());
  for (auto& n : names) {
    auto [it, added] = listing->byFolded.try_emplace(text::foldCase(n), n);
    if (!added && n < it->second) it->second = std::move(n);
  }
  const auto it = listing->byFolded.find(folded);
  std::string match = it == listing->byFolded.end() ? std::string() : it->second;
  keep(folder, std::move(listing));
  return match;
}

}  // namespace zidevuv10::paths
