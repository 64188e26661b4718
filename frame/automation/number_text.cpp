#include "automation/number_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace zidevuv10::automation {

namespace {

bool isSpace(char16_t c) { return c == u' ' || c == u'\t' || c == 0x3000 || c == 0xA0; }

std::u16string widen(const std::string& s) { return std::u16string(s.begin(), s.end()); }

// Writes v with the given significant digits in the runtime's form: no
// trailing zeros, exponent as E+NN / E-NN only when the plain form would
// need more than the digits available.
std::u16string format(double v, int digits) {
  if (v == 0) return u"0";
  // Values outside the numbers: written as the runtime's C library writes them.
  if (std::isnan(v)) return u"-1.#IND";
  if (std::isinf(v)) return v > 0 ? u"1.#INF" : u"-1.#INF";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*E", digits - 1, v);
  // buf: [-]d.dddE[+-]xx
  std::string s(buf);
  const std::size_t e = s.find('E');
  std::string mantissa = s.substr(0, e);
  const int exponent = std::atoi(s.c_str() + e + 1);
  const bool negative = mantissa[0] == '-';
  if (negative) mantissa.erase(0, 1);
  std::string digitsOnly;
  for (char c : mantissa) {
    if (c != '.') digitsOnly.push_back(c);
  }
  while (digitsOnly.size() > 1 && digitsOnly.back() == '0') digitsOnly.pop_back();
  std::string out;
  if (exponent >= digits || exponent < -4) {
    out = digitsOnly.substr(0, 1);
    if (digitsOnly.size() > 1) out += "." + digitsOnly.substr(1);
    char ex[16];
    std::snprintf(ex, sizeof ex, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    out += ex;
  } else if (exponent >= 0) {
    const auto intDigits = static_cast<std::size_t>(exponent) + 1;
    if (digitsOnly.size() <= intDigits) {
      out = digitsOnly + std::string(intDigits - digitsOnly.size(), '0');
    } else {
      out = digitsOnly.substr(0, intDigits) + "." + digitsOnly.substr(intDigits);
    }
  } else {
    out = "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digitsOnly;
  }
  return widen((negative ? "-" : "") + out);
}

}  // namespace

std::optional<double> parseNumber(std::u16string_view t) {
  while (!t.empty() && isSpace(t.front())) t.remove_prefix(1);
  while (!t.empty() && isSpace(t.back())) t.remove_suffix(1);
  if (t.empty()) return std::nullopt;
  if (t.size() > 2 && t[0] == u'&' && (t[1] == u'H' || t[1] == u'h' || t[1] == u'O' || t[1] == u'o')) {
    const int base = (t[1] == u'H' || t[1] == u'h') ? 16 : 8;
    uint64_t value = 0;
    for (std::size_t i = 2; i < t.size(); ++i) {
      int d;
      const char16_t c = t[i];
      if (c >= u'0' && c <= u'9') d = c - u'0';
      else if (base == 16 && c >= u'a' && c <= u'f') d = c - u'a' + 10;
      else if (base == 16 && c >= u'A' && c <= u'F') d = c - u'A' + 10;
      else return std::nullopt;
      if (d >= base) return std::nullopt;
      value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
      if (value > 0xFFFFFFFFu) return std::nullopt;
    }
    // Hexadecimal and octal literals are 16-bit when they fit, else 32-bit,
    // both signed, as the runtime reads them.
    if (value <= 0xFFFF) return static_cast<double>(static_cast<int16_t>(value));
    return static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(value)));
  }
  std::string ascii;
  std::size_t i = 0;
  if (t[i] == u'+' || t[i] == u'-') ascii.push_back(static_cast<char>(t[i++]));
  bool digits = false;
  while (i < t.size() && t[i] >= u'0' && t[i] <= u'9') {
    ascii.push_back(static_cast<char>(t[i++]));
    digits = true;
  }
  if (i < t.size() && t[i] == u'.') {
    ascii.push_back('.');
    ++i;
    while (i < t.size() && t[i] >= u'0' && t[i] <= u'9') {
      ascii.push_back(static_cast<char>(t[i++]));
      digits = true;
    }
  }
  if (!digits) return std::nullopt;
  if (i < t.size() && (t[i] == u'e' || t[i] == u'E' || t[i] == u'd' || t[i] == u'D')) {
    ascii.push_back('e');
    ++i;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) ascii.push_back(static_cast<char>(t[i++]));
    bool expDigits = false;
    while (i < t.size() && t[i] >= u'0' && t[i] <= u'9') {
      ascii.push_back(static_cast<char>(t[i++]));
      expDigits = true;
    }
    if (!expDigits) return std::nullopt;
  }
  if (i != t.size()) return std::nullopt;
  const double v = std::strtod(ascii.c_str(), nullptr);
  if (!std::isfinite(v)) return std::nullopt;
  return v;
}

// Rounds to the nearest integer, halves to even, whatever rounding mode the
// process has set (a client may have changed it; the conversion must not
// follow). Worked out from the truncated value, whose difference from v is
// exact below 2^52; from 2^52 up every double is an integer already.
static double roundHalfToEven(double v) {
  constexpr double kAllIntegral = 4503599627370496.0;  // 2^52
  if (!(std::fabs(v) < kAllIntegral)) return v;       // NaN too
  const auto whole = static_cast<int64_t>(v);
  const auto truncated = static_cast<double>(whole);
  const double fraction = std::fabs(v - truncated);
  const double away = truncated + (v < 0 ? -1.0 : 1.0);
  if (fraction > 0.5) return away;
  if (fraction < 0.5) return truncated;
  return whole % 2 == 0 ? truncated : away;
}

std::optional<int16_t> roundToInt16(double v) {
  const double r = roundHalfToEven(v);
  if (!(r >= -32768.0 && r <= 32767.0)) return std::nullopt;
  return static_cast<int16_t>(r);
}

std::optional<int32_t> roundToInt32(double v) {
  const double r = roundHalfToEven(v);
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) return std::nullopt;
  return static_cast<int32_t>(r);
}

std::u16string formatDouble(double v) { return format(v, 15); }
std::u16string formatSingle(float v) { return format(static_cast<double>(v), 7); }

}  // namespace zidevuv10::automation
