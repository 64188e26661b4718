// The write operations of the profile store: validate, then one locked
// read-modify-write cycle that replaces the file atomically.
#include <cerrno>
#include <new>

#include "paths/path_map.h"
#include "store/atomic_file.h"
#include "store/edit.h"
#include "store/profile_store.h"
#include "store/write_rules.h"

namespace zidevuv10::store {

template <typename Planner>
int32_t ProfileStore::modify(OptText file, Planner&& planner) {
  // Out of memory anywhere before the file is replaced leaves it untouched:
  // the write fails as any other failed write does.
  try {
    return modifyOnce(file, planner);
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

template <typename Planner>
int32_t ProfileStore::modifyOnce(OptText file, Planner& planner) {
  const std::string_view name = file.value_or(kWinIni);
  if (name.empty()) return 0;
  for (int attempt = 0; attempt < 2; ++attempt) {
    const auto path = paths::resolveProfileFile(*fs_, name);
    if (!path) return 0;
    std::string target;
    if (resolveWriteTarget(*fs_, path->path, target) != 0) return 0;
    FolderLock lock;
    const int locked = lock.acquire(*fs_, folderOf(target));
    if (locked == -ENOENT) {
      // No folder: a change that changes nothing succeeds without creating
      // anything; drive C's folder and the Windows directory are made on
      // first need; other folders must exist, as on Windows.
      if (planner(*Document::parse({})).empty()) return 1;
      if (attempt == 0 && !path->driveCFolder.empty() &&
          paths::createSystemFolders(*fs_, *path) == 0) {
        continue;
      }
      return 0;
    }
    if (locked != 0) return 0;

    const Snapshot snap = cache_.load(*fs_, target);
    if (snap.error != 0) return 0;
    // Whatever a crashed writer left behind goes now, also when this write
    // turns out to change nothing.
    removeLeftover(*fs_, target);
    std::shared_ptr<const Document> base = snap.doc;
    EditPlan plan = planner(*base);
    if (plan.empty()) return 1;
    auto bytes = applyPlan(*base, plan);
    if (!bytes) {
      // A legacy 8-bit file that cannot hold the new text is rewritten as
      // UTF-8, so that no character is lost; a binary file is left alone.
      if (base->encoding() != text::Encoding::Windows1252 || base->looksBinary()) return 0;
      base = Document::parse(text::decodeToUtf8(text::Encoding::Windows1252, base->raw()));
      bytes = applyPlan(*base, planner(*base));
      if (!bytes) return 0;
    }
    if (*bytes == snap.doc->raw()) return 1;
    const struct stat* previous = snap.exists ? &snap.st : nullptr;
    if (replaceFile(*fs_, target, *bytes, previous) != 0) return 0;
    try {
      cache_.remember(*fs_, target, Document::parse(std::move(*bytes)), previous);
    } catch (const std::bad_alloc&) {
      // The file is written; the cache merely goes without the new version
      // (every cached copy is checked against the file before use).
    }
    return 1;
  }
  return 0;
}

int32_t ProfileStore::flush(OptText file) {
  // Makes every earlier change durable; the result is always 0, as on Windows.
  const std::string_view name = file.value_or(kWinIni);
  if (name.empty()) return 0;
  if (const auto path = paths::resolveProfileFile(*fs_, name)) {
    std::string target;
    if (resolveWriteTarget(*fs_, path->path, target) == 0) syncFileAndFolder(*fs_, target);
  }
  return 0;
}

int32_t ProfileStore::writeString(OptText section, OptText key, OptText value, OptText file) {
  if (!section && !key && !value) return flush(file);
  if (!section || !acceptableSection(*section)) return 0;
  if (!key) {
    return modify(file, [&](const Document& d) { return planDeleteSection(d, *section); });
  }
  const auto k = acceptableKey(*key);
  if (!k) return 0;
  if (!value) {
    return modify(file, [&](const Document& d) { return planDeleteKey(d, *section, *k); });
  }
  const auto v = acceptableValue(*value);
  if (!v) return 0;
  return modify(file, [&](const Document& d) { return planWriteValue(d, *section, *k, *v); });
}

int32_t ProfileStore::writeSection(OptText section, OptText entries, OptText file) {
  if (!section && !entries) return flush(file);
  if (!section || !acceptableSection(*section)) return 0;
  if (!entries) {
    return modify(file, [&](const Document& d) { return planDeleteSection(d, *section); });
  }
  const auto list = acceptableEntries(*entries);
  if (!list) return 0;
  return modify(file, [&](const Document& d) { return planReplaceSection(d, *section, *list); });
}

}  // namespace zidevuv10::store
