// How read answers are placed in a caller's buffer, with the Windows
// truncation rules, except that a cut never splits a character (a UTF-8
// sequence, or a UTF-16 surrogate pair) and nothing is ever written at or
// beyond the buffer's size. Sizes and counts are code units of the buffer.
//   value:  at most size-1 units and a NUL; the count of units placed.
//   list:   each item followed by NUL, one more NUL at the end; a list that
//           does not fit (an exact fit counts as not fitting) is cut so that
//           two NULs end the buffer; the count excludes the final NUL.
// Pure functions; safe from any thread.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace zidevuv10::store {

// What a read of a file that exists found of what it was asked for: all of
// it, not the section (so the answer is the default or an empty list), or
// the section but not the key in it.
enum class Found : uint8_t { All, NoSection, NoKey };

// A read's whole answer, before it meets a buffer: the text of a value, the
// items of a list (each already followed by its NUL), or an empty list
// written as `emptyNuls` NULs.
struct Answer {
  enum class Shape : uint8_t { Value, List, EmptyList };
  Shape shape = Shape::Value;
  std::string_view text;
  std::size_t emptyNuls = 1;
  std::shared_ptr<const void> keep;  // holds what `text` points into (a document, a list)
  Found found = Found::All;

  static Answer value(std::string_view v) { return {Shape::Value, v, 1, nullptr, Found::All}; }
  static Answer list(std::string_view items) {
    return items.empty() ? emptyList(1) : Answer{Shape::List, items, 1, nullptr, Found::All};
  }
  static Answer emptyList(std::size_t nuls) {
    return {Shape::EmptyList, {}, nuls, nullptr, Found::All};
  }
};

uint32_t placeValue(std::span<char> buffer, std::string_view value);
uint32_t placeValue(std::span<char16_t> buffer, std::u16string_view value);
// `items`: the list's strings, each already followed by its NUL.
uint32_t placeList(std::span<char> buffer, std::string_view items);
uint32_t placeList(std::span<char16_t> buffer, std::u16string_view items);
// An empty list: one NUL (the name list) or two (the entry list) where they fit.
template <typename Unit>
uint32_t placeEmptyList(std::span<Unit> buffer, std::size_t nuls) {
  for (std::size_t i = 0; i < nuls && i < buffer.size(); ++i) buffer[i] = Unit{};
  return 0;
}

// The answer placed in a buffer of bytes (UTF-8) or of UTF-16 units.
uint32_t place(std::span<char> buffer, const Answer& answer);
uint32_t place(std::span<char16_t> buffer, const Answer& answer);

// Removes one pair of matching quotes (" or ') around a value of at least
// two characters.
template <typename Char>
std::basic_string_view<Char> stripQuotes(std::basic_string_view<Char> value) {
  if (value.size() >= 2 && (value.front() == Char('"') || value.front() == Char('\'')) &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}
inline std::string_view stripQuotes(std::string_view value) { return stripQuotes<char>(value); }

}  // namespace zidevuv10::store
