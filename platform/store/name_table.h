// A compact index from names (compared without case) to 32-bit ids, for the
// sections and keys of a parsed file: open addressing over 8-byte slots (id
// and hash), no copy of any name. The caller hands in, for each id, how to
// get its name back, so the table holds nothing but numbers.
//
// Not synchronised: a table is filled once, then only read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace zidevuv10::store {

// Whether a UTF-8 name folds to `folded` (a text::foldCase result).
bool foldsTo(std::string_view name, std::string_view folded);

class NameTable {
 public:
  static uint32_t hashOf(std::string_view folded);

  // The id stored under that folded name, if any. nameOf(id) gives an id's name.
  template <typename NameOf>
  std::optional<uint32_t> find(std::string_view folded, NameOf&& nameOf) const {
    if (slots_.empty()) return std::nullopt;
    const uint32_t hash = hashOf(folded);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
      const Slot& s = slots_[i];
      if (s.id == kEmpty) return std::nullopt;
      if (s.hash == hash && foldsTo(nameOf(s.id), folded)) return s.id;
    }
  }

  // Stores id under its folded name unless that name has an id already.
  template <typename NameOf>
  void insertFirst(uint32_t id, std::string_view folded, NameOf&& nameOf) {
    if ((count_ + 1) * 4 > slots_.size() * 3) grow();
    const uint32_t hash = hashOf(folded);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
      Slot& s = slots_[i];
      if (s.id == kEmpty) {
        s = {id, hash};
        ++count_;
        return;
      }
      if (s.hash == hash && foldsTo(nameOf(s.id), folded)) return;
    }
  }

  std::size_t size() const { return count_; }
  std::size_t memoryUsed() const { return slots_.capacity() * sizeof(Slot); }

 private:
  struct Slot {
    uint32_t id;
    uint32_t hash;
  };
  static constexpr uint32_t kEmpty = UINT32_MAX;

  void grow();

  std::vector<Slot> slots_;  // a power of two in size, at most 3/4 full
  std::size_t count_ = 0;
};

}  // namespace zidevuv10::store
