#include "store/answers.h"

#include <algorithm>
#include <cstring>

#include "text/utf8.h"

namespace zidevuv10::store {

uint32_t placeValue(std::span<char> buffer, std::string_view value) {
  if (buffer.empty()) return 0;
  const std::size_t n = text::utf8CutAtOrBefore(value, std::min(value.size(), buffer.size() - 1));
  if (n > 0) std::memcpy(buffer.data(), value.data(), n);
  buffer[n] = '\0';
  return static_cast<uint32_t>(n);
}

uint32_t placeList(std::span<char> buffer, std::string_view items) {
  if (buffer.empty()) return 0;
  if (items.empty()) return placeEmptyList(buffer, 1);
  const std::size_t size = buffer.size();
  if (items.size() + 1 < size) {
    std::memcpy(buffer.data(), items.data(), items.size());
    buffer[items.size()] = '\0';
    return static_cast<uint32_t>(items.size());
  }
  // Cut (an exact fit counts as cut): up to size-2 bytes, on a character
  // boundary, then two NULs; the count covers everything before the last.
  if (size < 2) {
    buffer[0] = '\0';
    return 0;
  }
  const std::size_t pos = text::utf8CutAtOrBefore(items, size - 2);
  std::memcpy(buffer.data(), items.data(), pos);
  buffer[pos] = '\0';
  buffer[pos + 1] = '\0';
  return static_cast<uint32_t>(pos);
}

uint32_t placeEmptyList(std::span<char> buffer, std::size_t nuls) {
  for (std::size_t i = 0; i < std::min(nuls, buffer.size()); ++i) buffer[i] = '\0';
  return 0;
}

std::string_view stripQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace zidevuv10::store
