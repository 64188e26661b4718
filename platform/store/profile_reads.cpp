// The read operations of the profile store.
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

uint32_t ProfileStore::getString(OptText section, OptText key, OptText defaultValue,
                                 std::span<char> buffer, OptText file) {
  if (buffer.empty()) return 0;
  const std::string_view def =
      stripQuotes(text::trimTrailingSpaces(defaultValue.value_or(std::string_view())));
  if (!section) return getSectionNames(buffer, file);
  const auto doc = loadForRead(file);
  if (!key) {
    // The section's key names (not trimmed: listings take the name as given).
    std::vector<std::string_view> keys;
    if (doc) {
      const int s = doc->findSection(*section);
      if (s >= 0) {
        const Section& sec = doc->sections()[static_cast<std::size_t>(s)];
        for (uint32_t i = sec.header + 1; i < sec.end; ++i) {
          const Line& l = doc->lines()[i];
          if (l.kind == LineKind::Entry && !doc->name(l).empty()) keys.push_back(doc->name(l));
        }
      }
    }
    return keys.empty() ? placeValue(buffer, def) : placeList(buffer, keys);
  }
  const std::string_view sectionName = text::trimBlanks(*section);
  const std::string_view keyName = text::trimBlanks(*key);
  if (doc && !sectionName.empty() && !keyName.empty()) {
    const int s = doc->findSection(sectionName);
    const int k = s >= 0 ? doc->findKey(s, keyName) : -1;
    if (k >= 0) return placeValue(buffer, stripQuotes(doc->value(doc->lines()[static_cast<std::size_t>(k)])));
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
  std::vector<std::string> entries;
  if (doc) {
    const int s = doc->findSection(*section);
    if (s >= 0) {
      const Section& sec = doc->sections()[static_cast<std::size_t>(s)];
      for (uint32_t i = sec.header + 1; i < sec.end; ++i) {
        const Line& l = doc->lines()[i];
        if (l.kind == LineKind::Entry) {
          entries.push_back(std::string(doc->name(l)) + "=" + std::string(doc->value(l)));
        } else if (l.kind == LineKind::Bare) {
          entries.emplace_back(text::trimBlanks(doc->text(l)));
        }
      }
    }
  }
  if (entries.empty()) return placeEmptyList(buffer, 2);
  return placeList(buffer, std::vector<std::string_view>(entries.begin(), entries.end()));
}

uint32_t ProfileStore::getSectionNames(std::span<char> buffer, OptText file) {
  if (buffer.empty()) return 0;
  const auto doc = loadForRead(file);
  std::vector<std::string_view> names;
  if (doc) {
    for (const Section& s : doc->sections()) {
      if (!doc->sectionName(s).empty()) names.push_back(doc->sectionName(s));
    }
  }
  return placeList(buffer, names);
}

uint32_t ProfileStore::windowsDirectory(std::span<char> buffer) const {
  const std::string_view dir = paths::kWindowsDirectory;
  if (buffer.size() <= dir.size()) return static_cast<uint32_t>(dir.size() + 1);
  return placeValue(buffer, dir);
}

}  // namespace zidevuv10::store
