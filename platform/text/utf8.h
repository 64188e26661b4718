// UTF-8 helpers: validation, safe cut points and repair of invalid bytes.
// Pure functions; safe from any thread.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zidevuv10::text {

bool isValidUtf8(std::string_view s);

// The largest cut position <= n that does not split a UTF-8 sequence of s.
// Bytes that are not part of a valid sequence count as characters of their own.
std::size_t utf8CutAtOrBefore(std::string_view s, std::size_t n);

// s with every invalid byte sequence replaced by U+FFFD.
std::string repairUtf8(std::string_view s);

}  // namespace zidevuv10::text
