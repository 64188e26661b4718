// The read operations of the profile store.
#include <optional>
#include <string>
#include <vector>

#include "paths/drives.h"
#include "paths/path_map.h"
#include "store/answers.h"
#include "store/atomic_file.h"
#include "store/in_place_write.h"
#include "store/whole_reads.h"
#include "store/profile_store.h"
#include "text/blanks.h"

namespace zidevuv10::store {

ProfileStore::ProfileStore(std::shared_ptr<fs::FileSystem> fs) : fs_(std::move(fs)) {}

ProfileStore& ProfileStore::shared() {
  static ProfileStore store;
  return store;
}

namespace {

// Whether no overwrite in place of the file `st` describes is under way:
// only a file with several links can show one (its mark is a link).
bool noOverwriteUnderWay(fs::FileSystem& fs, const std::string& path, const struct stat& st) {
  if (st.st_nlink <= 1) return true;
  std::string target;
  return resolveWriteTarget(fs, path, target) == 0 && !overwritePending(fs, target);
}

// Whether a read of `path` that gave `snap` saw one whole version: the file
// did not change while it was read, and no overwrite in place is under way.
bool readWasWhole(fs::FileSystem& fs, const std::string& path, const Snapshot& snap) {
  if (!snap.exists) return true;
  struct stat now {};
  if (fs.stat(path, now) != 0 || identityOf(now) != identityOf(snap.st)) return false;
  return noOverwriteUnderWay(fs, path, now);
}

}  // namespace

std::shared_ptr<const Document> ProfileStore::loadForRead(OptText file) {
  const std::string_view name = file.value_or(kWinIni);
  std::string path;
  Snapshot snap;
  for (int attempt = 0; attempt < 3; ++attempt) {
    // First the path as given; only when nothing is there, a case-insensitive match.
    const auto guess = paths::resolveProfileFile(*fs_, name, false);
    if (!guess) return nullptr;
    path = guess->path;
    snap = cache_.load(*fs_, path);
    if (snap.error == 0 && !snap.exists) {
      const auto matched = paths::resolveProfileFile(*fs_, name, true);
      if (matched && matched->path != guess->path) {
        path = matched->path;
        snap = cache_.load(*fs_, path);
      }
    }
    if (snap.error != 0) return nullptr;
    // A document found whole before, for this very identity of the file,
    // was not read now: only an overwrite begun since could matter.
    if (wholeReads_.known(snap) ? noOverwriteUnderWay(*fs_, path, snap.st)
                                : readWasWhole(*fs_, path, snap)) {
      if (!snap.exists) return nullptr;
      wholeReads_.remember(snap);
      return snap.doc;
    }
  }
  // An overwrite in place is under way or was interrupted, or the file
  // keeps changing: read it under the writers' lock, finishing an
  // interrupted overwrite first.
  std::string target;
  if (resolveWriteTarget(*fs_, path, target) != 0) return nullptr;
  FolderLock lock;
  if (lock.acquire(*fs_, folderOf(target)) != 0) return nullptr;
  std::optional<std::string> served;
  if (finishInterruptedOverwrite(*fs_, target, served) != 0) return nullptr;
  if (served) return Document::parse(std::move(*served));
  snap = cache_.load(*fs_, target);
  if (snap.error != 0 || !snap.exists) return nullptr;
  return snap.doc;
}

uint32_t ProfileStore::getString(OptText section, OptText key, OptText defaultValue,
                                 std::span<char> buffer, OptText file) {
  if (buffer.empty()) return 0;
  const std::string_view def =
      stripQuotes(text::trimTrailingSpaces(defaultValue.value_or(std::string_view())));
  if (!section) return getSectionNames(buffer, file);
  const auto doc = loadForRead(file);
  if (!key) {
    // The section's key names (not trimmed: listings take the name as given).
    const int s = doc ? doc->findSection(*section) : -1;
    if (s < 0 || doc->body(s).keyList.empty()) return placeValue(buffer, def);
    return placeList(buffer, doc->body(s).keyList);
  }
  const std::string_view sectionName = text::trimBlanks(*section);
  const std::string_view keyName = text::trimBlanks(*key);
  if (doc && !sectionName.empty() && !keyName.empty()) {
    if (const Line* l = doc->findKey(doc->findSection(sectionName), keyName)) {
      return placeValue(buffer, stripQuotes(doc->value(*l)));
    }
  }
  return placeValue(buffer, def);
}

uint32_t ProfileStore::getInt(OptText section, OptText key, int32_t defaultValue, OptText file) {
  // The value is read through a small buffer, as Windows does (29 characters).
  char buffer[30];
  getString(section, key, "", buffer, file);
  if (buffer[0] == '\0') return static_cast<uint32_t>(defaultValue);
  // Sign, decimal digits up to the first other character, modulo 2^32.
  const char* p = buffer;
  bool negative = false;
  if (*p == '-' || *p == '+') negative = *p++ == '-';
  uint32_t value = 0;
  while (*p >= '0' && *p <= '9') value = value * 10u + static_cast<uint32_t>(*p++ - '0');
  return negative ? 0u - value : value;
}

uint32_t ProfileStore::getSection(OptText section, std::span<char> buffer, OptText file) {
  if (buffer.empty() || !section) return 0;
  const auto doc = loadForRead(file);
  const int s = doc ? doc->findSection(*section) : -1;
  if (s < 0 || doc->body(s).entryList.empty()) return placeEmptyList(buffer, 2);
  return placeList(buffer, doc->body(s).entryList);
}

uint32_t ProfileStore::getSectionNames(std::span<char> buffer, OptText file) {
  if (buffer.empty()) return 0;
  const auto doc = loadForRead(file);
  return placeList(buffer, doc ? std::string_view(doc->sectionNameList()) : std::string_view());
}

uint32_t ProfileStore::windowsDirectory(std::span<char> buffer) const {
  const std::string_view dir = paths::kWindowsDirectory;
  if (buffer.size() <= dir.size()) return static_cast<uint32_t>(dir.size() + 1);
  return placeValue(buffer, dir);
}

}  // namespace zidevuv10::store
