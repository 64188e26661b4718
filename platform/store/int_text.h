// The number GetPrivateProfileInt reads from a value's text: blanks the
// quote strip left are skipped, then an optional sign, an optional base
// prefix (0x hexadecimal, 0o octal, 0b binary, lower case only) and the
// digits of that base up to the first other character; the arithmetic wraps
// modulo 2^32. "010" is ten: a leading zero alone does not mean octal.
// Pure function; safe from any thread.
#pragma once

#include <cstdint>
#include <string_view>

namespace zidevuv10::store {

uint32_t parseProfileInt(std::string_view text);

}  // namespace zidevuv10::store
