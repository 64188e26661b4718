// A structure stored as a profile value: each byte as two upper-case
// hexadecimal digits, then a checksum byte (the sum of the bytes modulo 256)
// in the same form. Reading accepts either case of the digits.
// Pure functions; safe from any thread.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "store/status.h"

namespace zidevuv10::store {

std::string encodeStruct(std::span<const uint8_t> bytes);

// Fills `out` from the text only when it has exactly the length of `out`
// and a matching checksum: Ok, BadLength or BadChecksum (also for a
// character that is no hexadecimal digit). `out` is untouched on failure.
Status decodeStruct(std::string_view text, std::span<uint8_t> out);

}  // namespace zidevuv10::store
