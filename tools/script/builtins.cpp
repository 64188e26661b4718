// Runtime functions of the script host. Each checks its argument count
// (450) and converts its arguments as the runtime does (5, 6, 13, 94).
#include "builtins.h"

#include "builtin_support.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <map>

#include "operators.h"
#include "text/ascii_case.h"
#include "zidevuv10/error.h"
#include "zidevuv10/safe_array.h"

namespace zidevuv10::script {

namespace {

int32_t nonNegative(const Variant& v) {
  const int32_t n = v.toInt32();
  if (n < 0) raiseHostError(err::kInvalidCall);
  return n;
}

int32_t positive(const Variant& v) {
  const int32_t n = v.toInt32();
  if (n < 1) raiseHostError(err::kInvalidCall);
  return n;
}

// Characters 128..159 of Windows-1252, the code page Chr and Asc use.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

Variant chr(std::vector<Variant>& a) {
  arity(a, 1, 1);
  const int32_t code = a[0].toInt32();
  if (code < 0 || code > 255) raiseHostError(err::kInvalidCall);
  const char16_t c = code >= 128 && code < 160 ? kCp1252High[static_cast<std::size_t>(code - 128)]
                                               : static_cast<char16_t>(code);
  return textOf(std::u16string(1, c));
}

Variant chrW(std::vector<Variant>& a) {
  arity(a, 1, 1);
  const int32_t code = a[0].toInt32();
  if (code < -32768 || code > 65535) raiseHostError(err::kInvalidCall);
  return textOf(std::u16string(1, static_cast<char16_t>(code & 0xFFFF)));
}

Variant ascW(std::vector<Variant>& a) {
  arity(a, 1, 1);
  const std::u16string s = a[0].toText().str();
  if (s.empty()) raiseHostError(err::kInvalidCall);
  return Variant(static_cast<int32_t>(s[0]));
}

Variant asc(std::vector<Variant>& a) {
  arity(a, 1, 1);
  const std::u16string s = a[0].toText().str();
  if (s.empty()) raiseHostError(err::kInvalidCall);
  for (std::size_t i = 0; i < kCp1252High.size(); ++i) {
    if (kCp1252High[i] == s[0]) return Variant(static_cast<int16_t>(128 + i));
  }
  // Outside the code page the runtime answers "?".
  return Variant(static_cast<int16_t>(s[0] < 256 ? s[0] : u'?'));
}

Variant len(std::vector<Variant>& a) {
  arity(a, 1, 1);
  if (isNull(a[0])) return Variant::null();
  return Variant(static_cast<int32_t>(a[0].toText().size()));
}

Variant left(std::vector<Variant>& a) {
  arity(a, 2, 2);
  if (isNull(a[0])) return Variant::null();
  const std::u16string s = a[0].toText().str();
  return textOf(s.substr(0, static_cast<std::size_t>(nonNegative(a[1]))));
}

Variant right(std::vector<Variant>& a) {
  arity(a, 2, 2);
  if (isNull(a[0])) return Variant::null();
  const std::u16string s = a[0].toText().str();
  const std::size_t n = std::min(s.size(), static_cast<std::size_t>(nonNegative(a[1])));
  return textOf(s.substr(s.size() - n));
}

Variant mid(std::vector<Variant>& a) {
  arity(a, 2, 3);
  if (isNull(a[0])) return Variant::null();
  const std::u16string s = a[0].toText().str();
  const std::size_t start = static_cast<std::size_t>(positive(a[1])) - 1;
  if (start >= s.size()) return textOf(u"");
  const std::size_t count = given(a, 2) ? static_cast<std::size_t>(nonNegative(a[2])) : std::u16string::npos;
  return textOf(s.substr(start, count));
}

// Replace(text, find, with[, start[, count[, compare]]]): the text from
// `start` on, with up to `count` (-1: all) occurrences replaced; compare 1
// ignores the case of ASCII letters.
Variant replace(std::vector<Variant>& a) {
  arity(a, 3, 6);
  if (isNull(a[0])) return Variant::null();
  const std::u16string s = a[0].toText().str();
  const std::u16string find = a[1].toText().str();
  const std::u16string with = a[2].toText().str();
  const std::size_t start = given(a, 3) ? static_cast<std::size_t>(positive(a[3])) - 1 : 0;
  int32_t count = given(a, 4) ? a[4].toInt32() : -1;
  if (count < -1) raiseHostError(err::kInvalidCall);
  const bool text = given(a, 5) && a[5].toInt32() == 1;
  if (start >= s.size()) return textOf(u"");
  std::u16string rest = s.substr(start);
  if (find.empty() || count == 0) return textOf(rest);
  std::u16string out;
  std::size_t i = 0;
  while (i < rest.size()) {
    bool match = i + find.size() <= rest.size() && count != 0;
    for (std::size_t k = 0; match && k < find.size(); ++k) {
      match = text ? text::asciiLower(rest[i + k]) == text::asciiLower(find[k]) : rest[i + k] == find[k];
    }
    if (match) {
      out += with;
      i += find.size();
      if (count > 0) --count;
    } else {
      out += rest[i++];
    }
  }
  return textOf(std::move(out));
}

// InStr([start, ]text, find[, compare]): 1-based position of `find`, 0
// when absent; compare 1 ignores the case of ASCII letters.
Variant inStr(std::vector<Variant>& a) {
  arity(a, 2, 4);
  std::size_t start = 0;
  std::size_t first = 0;
  if (a.size() >= 3) {
    start = static_cast<std::size_t>(positive(a[0])) - 1;
    first = 1;
  }
  if (isNull(a[first]) || isNull(a[first + 1])) return Variant::null();
  bool fold = false;
  if (a.size() == 4 && !a[3].isMissing()) {
    const int32_t mode = a[3].toInt32();
    if (mode != 0 && mode != 1) raiseHostError(err::kInvalidCall);
    fold = mode == 1;
  }
  std::u16string s = a[first].toText().str();
  std::u16string find = a[first + 1].toText().str();
  if (fold) {
    for (char16_t& c : s) c = text::asciiLower(c);
    for (char16_t& c : find) c = text::asciiLower(c);
  }
  if (start > s.size()) return Variant(int32_t{0});
  const std::size_t at = s.find(find, start);
  return Variant(static_cast<int32_t>(at == std::u16string::npos ? 0 : at + 1));
}

std::shared_ptr<SafeArray> arrayArgument(const Variant& v) {
  if (v.type() != VarType::Array) raiseHostError(err::kTypeMismatch);
  return v.toArray();
}

int dimensionArgument(const std::vector<Variant>& a) { return given(a, 1) ? a[1].toInt32() : 1; }

Variant uBound(std::vector<Variant>& a) {
  arity(a, 1, 2);
  return Variant(arrayArgument(a[0])->upperBound(dimensionArgument(a)));
}

Variant lBound(std::vector<Variant>& a) {
  arity(a, 1, 2);
  return Variant(arrayArgument(a[0])->lowerBound(dimensionArgument(a)));
}

Variant typeName(std::vector<Variant>& a) {
  arity(a, 1, 1);
  return textOf(typeNameOf(a[0]));
}

Variant cStr(std::vector<Variant>& a) {
  arity(a, 1, 1);
  return textOf(a[0].toText().str());
}
Variant cInt(std::vector<Variant>& a) {
  arity(a, 1, 1);
  return Variant(a[0].toInt16());
}
Variant cLng(std::vector<Variant>& a) {
  arity(a, 1, 1);
  return Variant(a[0].toInt32());
}
Variant cDbl(std::vector<Variant>& a) {
  arity(a, 1, 1);
  return Variant(a[0].toDouble());
}
Variant cSng(std::vector<Variant>& a) {
  arity(a, 1, 1);
  return Variant(a[0].toSingle());
}
Variant cBool(std::vector<Variant>& a) {
  arity(a, 1, 1);
  return Variant::boolean(a[0].toBool() != 0);
}

Variant isObject(std::vector<Variant>& a) {
  arity(a, 1, 1);
  return Variant::boolean(a[0].isObject());
}
Variant isEmpty(std::vector<Variant>& a) {
  arity(a, 1, 1);
  return Variant::boolean(a[0].isEmpty());
}
Variant isNullFunction(std::vector<Variant>& a) {
  arity(a, 1, 1);
  return Variant::boolean(isNull(a[0]));
}
Variant isArray(std::vector<Variant>& a) {
  arity(a, 1, 1);
  return Variant::boolean(a[0].type() == VarType::Array);
}

// Characters of Latin-1 that have a case, as UCase and LCase change them.
char16_t upper(char16_t c) {
  if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return static_cast<char16_t>(c - 32);
  return c;
}
char16_t lower(char16_t c) {
  if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return static_cast<char16_t>(c + 32);
  return c;
}

template <char16_t (*Change)(char16_t)>
Variant changeCase(std::vector<Variant>& a) {
  arity(a, 1, 1);
  if (isNull(a[0])) return Variant::null();
  std::u16string s = a[0].toText().str();
  for (char16_t& c : s) c = Change(c);
  return textOf(std::move(s));
}

// Trim, LTrim, RTrim: blanks (spaces only, as the runtime has it) off either end.
template <bool Front, bool Back>
Variant trim(std::vector<Variant>& a) {
  arity(a, 1, 1);
  if (isNull(a[0])) return Variant::null();
  const std::u16string s = a[0].toText().str();
  std::size_t first = 0;
  std::size_t last = s.size();
  if (Front) {
    while (first < last && s[first] == u' ') ++first;
  }
  if (Back) {
    while (last > first && s[last - 1] == u' ') --last;
  }
  return textOf(s.substr(first, last - first));
}

// A Variant() array from 0 holding the values.
Variant variantArray(std::vector<Variant> values) {
  auto array = std::make_shared<SafeArray>(SafeArray::ElementType::Variant);
  array->redim({ArrayBound{0, static_cast<int32_t>(values.size()) - 1}}, false);
  for (std::size_t i = 0; i < values.size(); ++i) array->at(static_cast<int32_t>(i)) = std::move(values[i]);
  return Variant(array);
}

// Compares texts as the runtime's compare argument asks: 0 binary, 1 text
// (ASCII letters without regard to case).
bool textCompare(const std::vector<Variant>& a, std::size_t i) {
  if (!given(a, i)) return false;
  const int32_t mode = a[i].toInt32();
  if (mode != 0 && mode != 1) raiseHostError(err::kInvalidCall);
  return mode == 1;
}

std::u16string foldedText(std::u16string s, bool fold) {
  if (fold) {
    for (char16_t& c : s) c = text::asciiLower(c);
  }
  return s;
}

// Split(text[, delimiter[, count[, compare]]]): a Variant() of the pieces;
// an empty text gives an empty array (UBound -1).
Variant split(std::vector<Variant>& a) {
  arity(a, 1, 4);
  if (isNull(a[0])) raiseHostError(err::kInvalidUseOfNull);
  const std::u16string s = a[0].toText().str();
  const std::u16string delimiter = given(a, 1) ? a[1].toText().str() : u" ";
  const int32_t count = given(a, 2) ? a[2].toInt32() : -1;
  if (count < -1) raiseHostError(err::kInvalidCall);
  const bool fold = textCompare(a, 3);
  std::vector<Variant> pieces;
  if (!s.empty() && count != 0) {
    const std::u16string haystack = foldedText(s, fold);
    const std::u16string needle = foldedText(delimiter, fold);
    std::size_t from = 0;
    while (!needle.empty() && (count < 0 || static_cast<int32_t>(pieces.size()) < count - 1)) {
      const std::size_t at = haystack.find(needle, from);
      if (at == std::u16string::npos) break;
      pieces.emplace_back(Text(s.substr(from, at - from)));
      from = at + needle.size();
    }
    pieces.emplace_back(Text(s.substr(from)));
  }
  return variantArray(std::move(pieces));
}

// Join(array[, delimiter]): the elements' texts with the delimiter between.
Variant join(std::vector<Variant>& a) {
  arity(a, 1, 2);
  const auto array = arrayArgument(a[0]);
  if (array->dimensions() != 1) raiseHostError(err::kInvalidCall);
  const std::u16string delimiter = given(a, 1) ? a[1].toText().str() : u" ";
  std::u16string out;
  for (int32_t i = array->lowerBound(); i <= array->upperBound(); ++i) {
    if (i > array->lowerBound()) out += delimiter;
    const Variant& e = array->at(i);
    if (!isNull(e) && !e.isEmpty()) out += e.toText().str();
  }
  return textOf(std::move(out));
}

// InStrRev(text, find[, start[, compare]]): 1-based position of the last
// `find` that ends at or before `start` (-1: the end), 0 when absent.
Variant inStrRev(std::vector<Variant>& a) {
  arity(a, 2, 4);
  if (isNull(a[0]) || isNull(a[1])) return Variant::null();
  const bool fold = textCompare(a, 3);
  const std::u16string s = foldedText(a[0].toText().str(), fold);
  const std::u16string find = foldedText(a[1].toText().str(), fold);
  const int32_t start = given(a, 2) ? a[2].toInt32() : -1;
  if (start == 0 || start < -1) raiseHostError(err::kInvalidCall);
  const std::size_t end = start == -1 ? s.size() : static_cast<std::size_t>(start);
  if (end > s.size()) return Variant(int32_t{0});
  if (find.empty()) return Variant(static_cast<int32_t>(end));
  if (find.size() > end) return Variant(int32_t{0});
  const std::size_t at = s.rfind(find, end - find.size());
  return Variant(static_cast<int32_t>(at == std::u16string::npos ? 0 : at + 1));
}

// StrComp(a, b[, compare]): -1, 0 or 1.
Variant strComp(std::vector<Variant>& a) {
  arity(a, 2, 3);
  if (isNull(a[0]) || isNull(a[1])) return Variant::null();
  const bool fold = textCompare(a, 2);
  const std::u16string l = foldedText(a[0].toText().str(), fold);
  const std::u16string r = foldedText(a[1].toText().str(), fold);
  return Variant(static_cast<int16_t>(l < r ? -1 : l == r ? 0 : 1));
}

Variant space(std::vector<Variant>& a) {
  arity(a, 1, 1);
  return textOf(std::u16string(static_cast<std::size_t>(nonNegative(a[0])), u' '));
}

// String(n, character): a character given by code or as the first of a text.
Variant string(std::vector<Variant>& a) {
  arity(a, 2, 2);
  if (isNull(a[1])) return Variant::null();
  const std::size_t n = static_cast<std::size_t>(nonNegative(a[0]));
  char16_t c = 0;
  if (a[1].type() == VarType::String) {
    if (a[1].text().size() == 0) raiseHostError(err::kInvalidCall);
    c = a[1].text().str()[0];
  } else {
    c = static_cast<char16_t>(a[1].toInt32() & 0xFF);
  }
  return textOf(std::u16string(n, c));
}

// Hex(n): upper-case digits of the rounded number; negative Integers take
// four digits, other negatives eight.
Variant hex(std::vector<Variant>& a) {
  arity(a, 1, 1);
  if (isNull(a[0])) return Variant::null();
  const int32_t n = a[0].toInt32();
  uint32_t bits = static_cast<uint32_t>(n);
  if (n < 0 && n >= -32768 && (a[0].type() == VarType::Integer || a[0].type() == VarType::Boolean)) bits &= 0xFFFFu;
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string out;
  do {
    out.insert(out.begin(), kDigits[bits & 0xF]);
    bits >>= 4;
  } while (bits != 0);
  return textOf(std::move(out));
}

// Abs, Int, Fix keep a number's type; Empty gives 0, Null gives Null.
template <double (*Change)(double)>
Variant numeric(std::vector<Variant>& a) {
  arity(a, 1, 1);
  const Variant& v = a[0];
  switch (v.type()) {
    case VarType::Null: return Variant::null();
    case VarType::Empty: return Variant(int16_t{0});
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Boolean: {
      const double r = Change(v.toInt16());
      if (r > 32767) return Variant(static_cast<int32_t>(r));
      return Variant(static_cast<int16_t>(r));
    }
    case VarType::Long: {
      const double r = Change(v.toInt32());
      if (r > 2147483647.0) return Variant(r);
      return Variant(static_cast<int32_t>(r));
    }
    case VarType::Single: return Variant(static_cast<float>(Change(v.toSingle())));
    default: return Variant(Change(v.toDouble()));
  }
}

double absolute(double v) { return std::fabs(v); }
double floorOf(double v) { return std::floor(v); }
double truncated(double v) { return std::trunc(v); }

// Round(n[, places]): half to even, as the runtime rounds.
Variant round(std::vector<Variant>& a) {
  arity(a, 1, 2);
  if (isNull(a[0])) return Variant::null();
  const int32_t places = given(a, 1) ? a[1].toInt32() : 0;
  if (places < 0 || places > 15) raiseHostError(err::kInvalidCall);
  const VarType t = a[0].type();
  if (t == VarType::Integer || t == VarType::Long || t == VarType::Byte) return a[0].deref();
  const double scale = std::pow(10.0, places);
  const double r = std::nearbyint(a[0].toDouble() * scale) / scale;
  return t == VarType::Single ? Variant(static_cast<float>(r)) : Variant(r);
}

// VarType's numbers: the runtime's, with 8192 added for arrays.
int16_t varTypeOf(const Variant& v) {
  switch (v.type()) {
    case VarType::Empty: return 0;
    case VarType::Null: return 1;
    case VarType::Integer: return 2;
    case VarType::Long: return 3;
    case VarType::Single: return 4;
    case VarType::Double: return 5;
    case VarType::String: return 8;
    case VarType::Object: return 9;
    case VarType::Missing: return 10;
    case VarType::Boolean: return 11;
    case VarType::Byte: return 17;
    case VarType::Date: return 7;
    case VarType::Array:
      switch (v.toArray()->elementType()) {
        case SafeArray::ElementType::String: return 8192 + 8;
        case SafeArray::ElementType::Byte: return 8192 + 17;
        case SafeArray::ElementType::Variant: return 8192 + 12;
      }
      break;
    case VarType::ByRef: break;
  }
  return 12;
}

Variant varType(std::vector<Variant>& a) {
  arity(a, 1, 1);
  return Variant(varTypeOf(a[0]));
}

Variant isNumeric(std::vector<Variant>& a) {
  arity(a, 1, 1);
  const Variant& v = a[0];
  switch (v.type()) {
    case VarType::Empty:
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Single:
    case VarType::Double:
    case VarType::Boolean: return Variant::boolean(true);
    case VarType::String:
      try {
        v.toDouble();
        return Variant::boolean(true);
      } catch (const AutomationError&) {
        return Variant::boolean(false);
      }
    default: return Variant::boolean(false);
  }
}

Variant array(std::vector<Variant>& a) {
  for (const Variant& v : a) {
    if (v.isMissing()) raiseHostError(err::kArgumentNotOptional);
  }
  return variantArray(a);
}

}  // namespace

std::u16string typeNameOf(const Variant& v) {
  switch (v.type()) {
    case VarType::Empty: return u"Empty";
    case VarType::Null: return u"Null";
    case VarType::Missing: return u"Error";
    case VarType::Byte: return u"Byte";
    case VarType::Integer: return u"Integer";
    case VarType::Long: return u"Long";
    case VarType::Single: return u"Single";
    case VarType::Double: return u"Double";
    case VarType::Boolean: return u"Boolean";
    case VarType::String: return u"String";
    case VarType::Date: return u"Date";
    case VarType::Object: {
      const ObjectRef o = v.toObject();
      return o ? o->typeName() : u"Nothing";
    }
    case VarType::Array:
      switch (v.toArray()->elementType()) {
        case SafeArray::ElementType::String: return u"String()";
        case SafeArray::ElementType::Byte: return u"Byte()";
        case SafeArray::ElementType::Variant: return u"Variant()";
      }
      break;
    case VarType::ByRef: break;
  }
  return u"Unknown";
}

BuiltinFunction findBuiltin(std::u16string_view lowerName) {
  static const std::map<std::u16string_view, BuiltinFunction> kFunctions = {
      {u"chr", chr},         {u"chrw", chrW},         {u"asc", asc},           {u"ascw", ascW},
      {u"len", len},         {u"left", left},         {u"right", right},       {u"mid", mid},
      {u"replace", replace}, {u"instr", inStr},       {u"ubound", uBound},     {u"lbound", lBound},
      {u"typename", typeName}, {u"cstr", cStr},       {u"cint", cInt},         {u"clng", cLng},
      {u"cdbl", cDbl},       {u"csng", cSng},         {u"cbool", cBool},       {u"isobject", isObject},
      {u"isempty", isEmpty}, {u"isnull", isNullFunction}, {u"isarray", isArray},
      {u"ucase", changeCase<upper>}, {u"lcase", changeCase<lower>}, {u"trim", trim<true, true>},
      {u"ltrim", trim<true, false>}, {u"rtrim", trim<false, true>}, {u"split", split}, {u"join", join},
      {u"instrrev", inStrRev}, {u"strcomp", strComp}, {u"space", space}, {u"string", string},
      {u"hex", hex},         {u"abs", numeric<absolute>}, {u"int", numeric<floorOf>}, {u"fix", numeric<truncated>},
      {u"round", round},     {u"vartype", varType},   {u"isnumeric", isNumeric}, {u"array", array},
  };
  if (!lowerName.empty() && lowerName.back() == u'$') lowerName.remove_suffix(1);
  if (const auto it = kFunctions.find(lowerName); it != kFunctions.end()) return it->second;
  if (const BuiltinFunction f = findDateBuiltin(lowerName)) return f;
  return findFormatBuiltin(lowerName);
}

}  // namespace zidevuv10::script
