// The runtime's numbers as text (FormatNumber, FormatPercent,
// FormatCurrency, Oct), Sgn, and text and array functions (StrReverse,
// Filter, Escape, Unescape). Separators and the currency symbol follow the
// process's LC_NUMERIC and LC_MONETARY; the C and POSIX locales, and
// locales that are not installed, write numbers as US English does
// (1,234.50 and $1,234.50).
#include <langinfo.h>
#include <locale.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "builtin_support.h"
#include "zidevuv10/safe_array.h"

namespace zidevuv10::script {

namespace {

struct NumberLocale {
  std::string decimal = ".";
  std::string group = ",";
  std::string currency = "$";
  bool currencyBefore = true;
};

std::string localeFor(const char* category) {
  for (const char* name : {"LC_ALL", category, "LANG"}) {
    const char* v = std::getenv(name);
    if (v != nullptr && *v != '\0') return v;
  }
  return "C";
}

bool isCLocale(const std::string& name) { return name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0; }

NumberLocale numberLocale() {
  NumberLocale l;
  const std::string numeric = localeFor("LC_NUMERIC");
  if (!isCLocale(numeric)) {
    if (const locale_t loc = newlocale(LC_NUMERIC_MASK, numeric.c_str(), static_cast<locale_t>(nullptr))) {
      l.decimal = nl_langinfo_l(RADIXCHAR, loc);
      l.group = nl_langinfo_l(THOUSEP, loc);
      freelocale(loc);
    }
  }
  const std::string monetary = localeFor("LC_MONETARY");
  if (!isCLocale(monetary)) {
    if (const locale_t loc = newlocale(LC_MONETARY_MASK, monetary.c_str(), static_cast<locale_t>(nullptr))) {
      // "-$": the symbol goes before the number, "+ EUR" after it.
      const std::string symbol = nl_langinfo_l(CRNCYSTR, loc);
      if (!symbol.empty()) {
        l.currencyBefore = symbol[0] == '-';
        l.currency = symbol.substr(1);
      }
      freelocale(loc);
    }
  }
  return l;
}

// A tristate argument: -1 True, 0 False, -2 (or omitted) the default.
bool tristate(const std::vector<Variant>& a, std::size_t i, bool fallback) {
  if (!given(a, i)) return fallback;
  const int32_t v = a[i].toInt32();
  if (v == -2) return fallback;
  return v != 0;
}

// The number with `digits` decimals (halves away from zero), grouped and
// signed as asked; `percent` and `currency` add their signs.
std::u16string formatted(const std::vector<Variant>& a, double scale, bool currency) {
  arity(a, 1, 5);
  const NumberLocale l = numberLocale();
  const double value = a[0].toDouble() * scale;
  const int32_t digits = given(a, 1) ? a[1].toInt32() : -1;
  if (digits < -1 || digits > 99) raiseHostError(err::kInvalidCall);
  const int places = digits == -1 ? 2 : digits;
  const bool leadingZero = tristate(a, 2, true);
  const bool parens = tristate(a, 3, currency);
  const bool group = tristate(a, 4, true);
  const double factor = std::pow(10.0, places);
  // Numbers too large to scale have no fraction left to round.
  const double scaled = std::fabs(value) * factor;
  const double rounded = std::isfinite(scaled) ? std::round(scaled) / factor : std::fabs(value);
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, "%.*f", places, rounded);
  std::string number = buffer;
  const std::size_t dot = number.find('.');
  std::string whole = number.substr(0, dot);
  std::string fraction = dot == std::string::npos ? "" : number.substr(dot + 1);
  if (group && !l.group.empty()) {
    for (std::size_t i = whole.size(); i > 3; i -= 3) whole.insert(i - 3, l.group);
  }
  if (whole == "0" && !leadingZero && !fraction.empty()) whole.clear();
  std::string text = whole + (fraction.empty() ? "" : l.decimal + fraction);
  if (currency) text = l.currencyBefore ? l.currency + text : text + " " + l.currency;
  if (scale == 100) text += "%";
  const bool negative = value < 0 && rounded != 0;
  if (negative) text = parens ? "(" + text + ")" : "-" + text;
  return Text::fromUtf8(text).str();
}

Variant formatNumber(std::vector<Variant>& a) { return textOf(formatted(a, 1, false)); }
Variant formatPercent(std::vector<Variant>& a) { return textOf(formatted(a, 100, false)); }
Variant formatCurrency(std::vector<Variant>& a) { return textOf(formatted(a, 1, true)); }

Variant sgn(std::vector<Variant>& a) {
  arity(a, 1, 1);
  const double v = a[0].toDouble();
  return Variant(static_cast<int16_t>(v > 0 ? 1 : v < 0 ? -1 : 0));
}

// Oct(n): octal digits of the rounded number, negatives in two's complement
// as Hex writes them.
Variant oct(std::vector<Variant>& a) {
  arity(a, 1, 1);
  if (isNull(a[0])) return Variant::null();
  const int32_t n = a[0].toInt32();
  uint32_t bits = static_cast<uint32_t>(n);
  if (n < 0 && n >= -32768 && (a[0].type() == VarType::Integer || a[0].type() == VarType::Boolean)) bits &= 0xFFFFu;
  std::u16string out;
  do {
    out.insert(out.begin(), static_cast<char16_t>(u'0' + (bits & 7)));
    bits >>= 3;
  } while (bits != 0);
  return textOf(std::move(out));
}

Variant strReverse(std::vector<Variant>& a) {
  arity(a, 1, 1);
  if (isNull(a[0])) raiseHostError(err::kInvalidUseOfNull);
  std::u16string s = a[0].toText().str();
  return textOf(std::u16string(s.rbegin(), s.rend()));
}

// Filter(texts, value[, include[, compare]]): the elements that hold the
// value (or, with include False, that do not), from 0.
Variant filter(std::vector<Variant>& a) {
  arity(a, 2, 4);
  if (a[0].type() != VarType::Array || isNull(a[1])) raiseHostError(err::kTypeMismatch);
  const auto array = a[0].toArray();
  if (array->dimensions() > 1) raiseHostError(err::kTypeMismatch);
  const bool include = !given(a, 2) || a[2].toBool() != 0;
  const int32_t compare = given(a, 3) ? a[3].toInt32() : 0;
  if (compare != 0 && compare != 1) raiseHostError(err::kInvalidCall);
  const auto fold = [&](std::u16string s) {
    if (compare == 1) s = lowerName(s);
    return s;
  };
  const std::u16string value = fold(a[1].toText().str());
  std::vector<Variant> kept;
  if (array->dimensions() == 1) {
    for (int32_t i = array->lowerBound(); i <= array->upperBound(); ++i) {
      const Text t = array->at(i).toText();
      if ((fold(t.str()).find(value) != std::u16string::npos) == include) kept.emplace_back(t);
    }
  }
  auto out = std::make_shared<SafeArray>(SafeArray::ElementType::Variant);
  out->redim({ArrayBound{0, static_cast<int32_t>(kept.size()) - 1}}, false);
  for (std::size_t i = 0; i < kept.size(); ++i) out->at(static_cast<int32_t>(i)) = std::move(kept[i]);
  return Variant(out);
}

// Escape(text): characters other than letters, digits and @*_+-./ as %XX,
// or %uXXXX beyond the first 256.
Variant escape(std::vector<Variant>& a) {
  arity(a, 1, 1);
  if (isNull(a[0])) return Variant::null();
  static constexpr char kHex[] = "0123456789ABCDEF";
  const Text text = a[0].toText();
  std::u16string out;
  for (const char16_t c : text.str()) {
    const bool plain = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
                       std::u16string_view(u"@*_+-./").find(c) != std::u16string_view::npos;
    if (plain) {
      out += c;
    } else if (c < 256) {
      out += {u'%', static_cast<char16_t>(kHex[c >> 4]), static_cast<char16_t>(kHex[c & 15])};
    } else {
      out += u"%u";
      for (int shift = 12; shift >= 0; shift -= 4) out += static_cast<char16_t>(kHex[(c >> shift) & 15]);
    }
  }
  return textOf(std::move(out));
}

int hexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Unescape(text): %XX and %uXXXX back to their characters; a % that starts
// neither stays as it is.
Variant unescape(std::vector<Variant>& a) {
  arity(a, 1, 1);
  if (isNull(a[0])) return Variant::null();
  const std::u16string s = a[0].toText().str();
  std::u16string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto digitsAt = [&](std::size_t from, std::size_t count) {
      if (from + count > s.size()) return -1;
      int v = 0;
      for (std::size_t k = 0; k < count; ++k) {
        const int d = hexDigit(s[from + k]);
        if (d < 0) return -1;
        v = v * 16 + d;
      }
      return v;
    };
    if (s[i] == u'%') {
      if (i + 1 < s.size() && s[i + 1] == u'u') {
        if (const int v = digitsAt(i + 2, 4); v >= 0) {
          out += static_cast<char16_t>(v);
          i += 5;
          continue;
        }
      } else if (const int v = digitsAt(i + 1, 2); v >= 0) {
        out += static_cast<char16_t>(v);
        i += 2;
        continue;
      }
    }
    out += s[i];
  }
  return textOf(std::move(out));
}

}  // namespace

BuiltinFunction findFormatBuiltin(std::u16string_view lowerName) {
  static const std::map<std::u16string_view, BuiltinFunction> kFunctions = {
      {u"formatnumber", formatNumber}, {u"formatpercent", formatPercent}, {u"formatcurrency", formatCurrency},
      {u"sgn", sgn},                   {u"oct", oct},                     {u"strreverse", strReverse},
      {u"filter", filter},             {u"escape", escape},               {u"unescape", unescape},
  };
  const auto it = kFunctions.find(lowerName);
  return it == kFunctions.end() ? nullptr : it->second;
}

}  // namespace zidevuv10::script
