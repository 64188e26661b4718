#include "store/name_table.h"

#include <functional>
#include <string>

#include "text/case_fold.h"

namespace zidevuv10::store {

bool foldsTo(std::string_view name, std::string_view folded) {
  // ASCII folds byte for byte; anything else goes through the full folding.
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto b = static_cast<unsigned char>(name[i]);
    if (b >= 0x80) {
      thread_local std::string buffer;
      text::foldCaseInto(name, buffer);
      return buffer == folded;
    }
    const char lower = static_cast<char>(b >= 'A' && b <= 'Z' ? b + 32 : b);
    if (i >= folded.size() || folded[i] != lower) return false;
  }
  return name.size() == folded.size();
}

uint32_t NameTable::hashOf(std::string_view folded) {
  const std::size_t h = std::hash<std::string_view>{}(folded);
  return static_cast<uint32_t>(h ^ (h >> 32));
}

void NameTable::grow() {
  // Built aside, so that a failed allocation leaves the table as it was.
  std::vector<Slot> bigger(slots_.empty() ? 8 : slots_.size() * 2, Slot{kEmpty, 0});
  const std::size_t mask = bigger.size() - 1;
  for (const Slot& s : slots_) {
    if (s.id == kEmpty) continue;
    std::size_t i = s.hash & mask;
    while (bigger[i].id != kEmpty) i = (i + 1) & mask;
    bigger[i] = s;
  }
  slots_.swap(bigger);
}

}  // namespace zidevuv10::store
