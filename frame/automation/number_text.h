// Numbers and text as the host runtime converts them: text to a number
// (blanks ignored, sign, decimals, exponent, &H and &O prefixes) and
// numbers to text (the runtime's shortest form: "1.5", "1E+20").
// Pure functions; safe from any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zidevuv10::automation {

// The number a text denotes, or nullopt when it is no number.
std::optional<double> parseNumber(std::u16string_view text);

// Rounds half to even and checks the range; nullopt when out of range.
std::optional<int16_t> roundToInt16(double v);
std::optional<int32_t> roundToInt32(double v);

std::u16string formatDouble(double v);
std::u16string formatSingle(float v);

}  // namespace zidevuv10::automation
