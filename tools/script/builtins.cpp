// Runtime functions of the script host. Each checks its argument count
// (450) and converts its arguments as the runtime does (5, 6, 13, 94).
#include "builtins.h"

#include <array>
#include <cmath>
#include <map>

#include "operators.h"
#include "zidevuv10/error.h"
#include "zidevuv10/safe_array.h"

namespace zidevuv10::script {

namespace {

void arity(const std::vector<Variant>& args, std::size_t least, std::size_t most) {
  if (args.size() < least || args.size() > most) raiseHostError(err::kWrongArgumentCount);
  for (std::size_t i = 0; i < least; ++i) {
    if (args[i].isMissing()) raiseHostError(err::kArgumentNotOptional);
  }
}

bool given(const std::vector<Variant>& args, std::size_t i) { return i < args.size() && !args[i].isMissing(); }

bool isNull(const Variant& v) { return v.type() == VarType::Null; }

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

Variant textOf(std::u16string s) { return Variant(Text(std::move(s))); }

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

char16_t folded(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

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
      match = text ? folded(rest[i + k]) == folded(find[k]) : rest[i + k] == find[k];
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

// InStr([start, ]text, find): 1-based position of `find`, 0 when absent.
Variant inStr(std::vector<Variant>& a) {
  arity(a, 2, 3);
  std::size_t start = 0;
  std::size_t first = 0;
  if (a.size() == 3) {
    start = static_cast<std::size_t>(positive(a[0])) - 1;
    first = 1;
  }
  if (isNull(a[first]) || isNull(a[first + 1])) return Variant::null();
  const std::u16string s = a[first].toText().str();
  const std::u16string find = a[first + 1].toText().str();
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
  };
  if (!lowerName.empty() && lowerName.back() == u'$') lowerName.remove_suffix(1);
  const auto it = kFunctions.find(lowerName);
  return it == kFunctions.end() ? nullptr : it->second;
}

}  // namespace zidevuv10::script
