#include "store/answers.h"

#include <algorithm>
#include <string>

#include "text/utf16.h"
#include "text/utf8.h"

namespace zidevuv10::store {

namespace {

std::size_t cutAtOrBefore(std::string_view s, std::size_t n) { return text::utf8CutAtOrBefore(s, n); }
std::size_t cutAtOrBefore(std::u16string_view s, std::size_t n) {
  return text::utf16CutAtOrBefore(s, n);
}

template <typename Unit>
uint32_t placeValueOf(std::span<Unit> buffer, std::basic_string_view<Unit> value) {
  if (buffer.empty()) return 0;
  const std::size_t n = cutAtOrBefore(value, std::min(value.size(), buffer.size() - 1));
  std::copy_n(value.data(), n, buffer.data());
  buffer[n] = Unit{};
  return static_cast<uint32_t>(n);
}

template <typename Unit>
uint32_t placeListOf(std::span<Unit> buffer, std::basic_string_view<Unit> items) {
  if (buffer.empty()) return 0;
  if (items.empty()) return placeEmptyList(buffer, 1);
  const std::size_t size = buffer.size();
  if (items.size() + 1 < size) {
    std::copy_n(items.data(), items.size(), buffer.data());
    buffer[items.size()] = Unit{};
    return static_cast<uint32_t>(items.size());
  }
  // Cut (an exact fit counts as cut): up to size-2 units, on a character
  // boundary, then two NULs; the count covers everything before the last.
  if (size < 2) {
    buffer[0] = Unit{};
    return 0;
  }
  const std::size_t pos = cutAtOrBefore(items, size - 2);
  std::copy_n(items.data(), pos, buffer.data());
  buffer[pos] = Unit{};
  buffer[pos + 1] = Unit{};
  return static_cast<uint32_t>(pos);
}

template <typename Unit, typename Text>
uint32_t placeAnswer(std::span<Unit> buffer, const Answer& answer, const Text& text) {
  switch (answer.shape) {
    case Answer::Shape::Value:
      return placeValueOf<Unit>(buffer, text);
    case Answer::Shape::List:
      return placeListOf<Unit>(buffer, text);
    case Answer::Shape::EmptyList:
      break;
  }
  return placeEmptyList(buffer, answer.emptyNuls);
}

}  // namespace

uint32_t placeValue(std::span<char> buffer, std::string_view value) {
  return placeValueOf(buffer, value);
}
uint32_t placeValue(std::span<char16_t> buffer, std::u16string_view value) {
  return placeValueOf(buffer, value);
}
uint32_t placeList(std::span<char> buffer, std::string_view items) {
  return placeListOf(buffer, items);
}
uint32_t placeList(std::span<char16_t> buffer, std::u16string_view items) {
  return placeListOf(buffer, items);
}

uint32_t place(std::span<char> buffer, const Answer& answer) {
  return placeAnswer(buffer, answer, answer.text);
}

uint32_t place(std::span<char16_t> buffer, const Answer& answer) {
  if (buffer.empty()) return 0;
  return placeAnswer(buffer, answer, std::u16string_view(text::utf8ToUtf16(answer.text)));
}

}  // namespace zidevuv10::store
