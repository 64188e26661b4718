// The read operations of the profile store.
#include <new>
#include <string>
#include <vector>

#include "paths/drives.h"
#include "paths/path_map.h"
#include "store/answers.h"
#include "store/profile_store.h"
#include "text/blanks.h"

namespace zidevuv10::store {

ProfileStore::ProfileStore(std::shared_ptr<fs::FileSystem> fs) : fs_(std::move(fs)) {}

ProfileStore& ProfileStore::shared() {
  static ProfileStore store;
  return store;
}

std::shared_ptr<const Document> ProfileStore::loadForRead(OptText file) {
  const std::string_view name = file.value_or(kWinIni);
  // First the path as given; only when nothing is there, a case-insensitive match.
  auto guess = paths::resolveProfileFile(*fs_, name, false);
  if (!guess) return nullptr;
  Snapshot snap = cache_.load(*fs_, guess->path);
  if (snap.error == 0 && !snap.exists) {
    const auto matched = paths::resolveProfileFile(*fs_, name, true);
    if (matched && matched->path != guess->path) snap = cache_.load(*fs_, matched->path);
  }
  if (snap.error != 0 || !snap.exists) return nullptr;
  return snap.doc;
}

namespace {

// Answers a read from the parsed file, or, when memory runs out on the way,
// as for a file that cannot be read (the answer from no document allocates
// nothing).
template <typename Load, typename Answer>
uint32_t answer(Load&& load, Answer&& fromDocument) {
  try {
    const std::shared_ptr<const Document> doc = load();
    return fromDocument(doc.get());
  } catch (const std::bad_alloc&) {
    return fromDocument(nullptr);
  }
}

}  // namespace

uint32_t ProfileStore::getString(OptText section, OptText key, OptText defaultValue,
                                 std::span<char> buffer, OptText file) {
  if (buffer.empty()) return 0;
  const std::string_view def =
      stripQuotes(text::trimTrailingSpaces(defaultValue.value_or(std::string_view())));
  if (!section) return getSectionNames(buffer, file);
  const auto load = [&] { return loadForRead(file); };
  if (!key) {
    // The section's key names (not trimmed: listings take the name as given).
    return answer(load, [&](const Document* doc) {
      const int s = doc ? doc->findSection(*section) : -1;
      std::string scratch;
      const std::string_view keys = s >= 0 ? doc->keyList(s, scratch) : std::string_view();
      if (keys.empty()) return placeValue(buffer, def);
      return placeList(buffer, keys);
    });
  }
  const std::string_view sectionName = text::trimBlanks(*section);
  const std::string_view keyName = text::trimBlanks(*key);
  return answer(load, [&](const Document* doc) {
    if (doc && !sectionName.empty() && !keyName.empty()) {
      if (const auto l = doc->findKey(doc->findSection(sectionName), keyName)) {
        return placeValue(buffer, stripQuotes(doc->value(*l)));
      }
    }
    return placeValue(buffer, def);
  });
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
  return answer([&] { return loadForRead(file); }, [&](const Document* doc) {
    const int s = doc ? doc->findSection(*section) : -1;
    std::string scratch;
    const std::string_view entries = s >= 0 ? doc->entryList(s, scratch) : std::string_view();
    if (entries.empty()) return placeEmptyList(buffer, 2);
    return placeList(buffer, entries);
  });
}

uint32_t ProfileStore::getSectionNames(std::span<char> buffer, OptText file) {
  if (buffer.empty()) return 0;
  return answer([&] { return loadForRead(file); }, [&](const Document* doc) {
    return placeList(buffer, doc ? std::string_view(doc->sectionNameList()) : std::string_view());
  });
}

uint32_t ProfileStore::windowsDirectory(std::span<char> buffer) const {
  const std::string_view dir = paths::kWindowsDirectory;
  if (buffer.size() <= dir.size()) return static_cast<uint32_t>(dir.size() + 1);
  return placeValue(buffer, dir);
}

}  // namespace zidevuv10::store
