// The profile store: reads and writes initialization files with the answers
// of the Windows profile API. This is the interface the library's classes
// call; the C functions of <zidevuv10/profile.h> are a thin layer over it.
//
// Arguments are UTF-8. An absent argument (std::nullopt) is distinct from
// empty text and carries the Windows meaning: an absent key lists the keys,
// an absent value deletes the key, an absent file is WIN.INI, and so on.
// Buffers count bytes; an empty span is a buffer of size 0.
//
// Thread and process safety: every member may be called from any thread at
// once. Writes replace the file atomically and durably before returning;
// read-modify-write cycles on one file are serialised across threads and
// processes by a lock on the file's folder. Reads see every change made
// before they started, also by other processes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "fs/file_system.h"
#include "store/file_cache.h"

namespace zidevuv10::store {

using OptText = std::optional<std::string_view>;

class ProfileStore {
 public:
  explicit ProfileStore(std::shared_ptr<fs::FileSystem> fs = fs::posixFileSystem());

  // The store used by the C functions and the library's classes.
  static ProfileStore& shared();

  uint32_t getString(OptText section, OptText key, OptText defaultValue, std::span<char> buffer,
                     OptText file);
  uint32_t getInt(OptText section, OptText key, int32_t defaultValue, OptText file);
  uint32_t getSection(OptText section, std::span<char> buffer, OptText file);
  uint32_t getSectionNames(std::span<char> buffer, OptText file);
  int32_t writeString(OptText section, OptText key, OptText value, OptText file);
  // entries: "key=value" items, each ended by a NUL, the list ended by an
  // empty item or the end of the text.
  int32_t writeSection(OptText section, OptText entries, OptText file);
  uint32_t windowsDirectory(std::span<char> buffer) const;

  // The WIN.INI file the unnamed-file forms use.
  static constexpr std::string_view kWinIni = "C:\\WINDOWS\\WIN.INI";

  // Forgets every parsed file (tests use it to measure first reads).
  void dropCache() { cache_.clear(); }

 private:
  std::shared_ptr<const Document> loadForRead(OptText file);
  int32_t flush(OptText file);
  template <typename Planner>
  int32_t modify(OptText file, Planner&& planner);
  template <typename Planner>
  int32_t modifyOnce(OptText file, Planner& planner);

  std::shared_ptr<fs::FileSystem> fs_;
  FileCache cache_;
};

}  // namespace zidevuv10::store
