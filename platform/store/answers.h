// How read answers are placed in a caller's buffer, with the Windows
// truncation rules, except that a cut never splits a UTF-8 character and
// nothing is ever written at or beyond the buffer's size.
//   value:  at most size-1 bytes and a NUL; the count of bytes placed.
//   list:   each item followed by NUL, one more NUL at the end; a list that
//           does not fit (an exact fit counts as not fitting) is cut so that
//           two NULs end the buffer; the count excludes the final NUL.
// Pure functions; safe from any thread.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace zidevuv10::store {

uint32_t placeValue(std::span<char> buffer, std::string_view value);
// `items`: the list's strings, each already followed by its NUL.
uint32_t placeList(std::span<char> buffer, std::string_view items);
// An empty list: one NUL (the name list) or two (the entry list) where they fit.
uint32_t placeEmptyList(std::span<char> buffer, std::size_t nuls);

// Removes one pair of matching quotes (" or ') around a value of at least
// two characters.
std::string_view stripQuotes(std::string_view value);

}  // namespace zidevuv10::store
