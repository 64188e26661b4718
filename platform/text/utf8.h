// UTF-8 helpers: validation, safe cut points, repair of invalid bytes and
// conversion to and from UTF-16 (ICU's header-only macros, no library).
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

// UTF-16 from UTF-8; each maximal invalid byte sequence becomes U+FFFD.
std::u16string utf8ToUtf16(std::string_view utf8);

// UTF-8 from UTF-16; an unpaired surrogate becomes U+FFFD.
std::string utf16ToUtf8(std::u16string_view utf16);

}  // namespace zidevuv10::text
