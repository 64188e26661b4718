// Arithmetic, text, comparison and logical operators of the script host.
#include "operators.h"

#include <cmath>
#include <cstdint>

#include "zidevuv10/error.h"
#include "zidevuv10/safe_array.h"

namespace zidevuv10::script {

namespace {

// Numeric types, narrowest first; the result of + - * is the wider operand's.
enum Rank { kByte, kInteger, kLong, kSingle, kDouble };

bool isNumeric(VarType t) {
  return t == VarType::Byte || t == VarType::Integer || t == VarType::Long || t == VarType::Single ||
         t == VarType::Double || t == VarType::Boolean || t == VarType::Empty;
}

Rank rankOf(const Variant& v) {
  switch (v.type()) {
    case VarType::Byte: return kByte;
    case VarType::Integer:
    case VarType::Boolean:
    case VarType::Empty: return kInteger;
    case VarType::Long: return kLong;
    case VarType::Single: return kSingle;
    case VarType::Double:
    case VarType::String: return kDouble;
    default: raiseHostError(err::kTypeMismatch);
  }
}

// A whole or fractional result in the narrowest type at or above `rank`
// that holds it.
Variant ofRank(double value, Rank rank) {
  if (std::isnan(value)) raiseHostError(err::kOverflow);
  switch (rank) {
    case kByte:
      if (value >= 0 && value <= 255) return Variant(static_cast<uint8_t>(value));
      [[fallthrough]];
    case kInteger:
      if (value >= -32768 && value <= 32767) return Variant(static_cast<int16_t>(value));
      [[fallthrough]];
    case kLong:
      if (value >= -2147483648.0 && value <= 2147483647.0) return Variant(static_cast<int32_t>(value));
      return Variant(value);
    case kSingle:
      if (std::fabs(value) <= 3.402823466e38) return Variant(static_cast<float>(value));
      return Variant(value);
    case kDouble:
      if (std::isinf(value)) raiseHostError(err::kOverflow);
      return Variant(value);
  }
  return Variant(value);
}

bool isNull(const Variant& v) { return v.type() == VarType::Null; }

// Text for `&`: Null and Empty join as nothing.
std::u16string joinText(const Variant& v) {
  if (isNull(v) || v.isEmpty()) return {};
  if (v.isObject() || v.type() == VarType::Array) raiseHostError(err::kTypeMismatch);
  return v.toText().str();
}

Variant arithmetic(std::string_view op, const Variant& l, const Variant& r) {
  if (isNull(l) || isNull(r)) return Variant::null();
  if (op == "+" && l.type() == VarType::String && (r.type() == VarType::String || r.isEmpty())) {
    return Variant(Text(l.toText().str() + r.toText().str()));
  }
  if (op == "+" && l.isEmpty() && r.type() == VarType::String) return Variant(r.toText());
  const Rank rank = std::max(rankOf(l), rankOf(r));
  if (op == "/" || op == "^") {
    const double a = l.toDouble();
    const double b = r.toDouble();
    if (op == "^") return ofRank(std::pow(a, b), kDouble);
    if (b == 0) raiseHostError(a == 0 ? err::kOverflow : 11);
    return ofRank(a / b, kDouble);
  }
  if (op == "\\" || op == "mod") {
    const int64_t a = l.toInt32();
    const int64_t b = r.toInt32();
    if (b == 0) raiseHostError(err::kDivisionByZero);
    const Rank whole = std::min(std::max(rank, kInteger), kLong);
    return ofRank(static_cast<double>(op == "mod" ? a % b : a / b), whole);
  }
  const double a = l.toDouble();
  const double b = r.toDouble();
  const double value = op == "+" ? a + b : op == "-" ? a - b : a * b;
  if (rank == kSingle) return ofRank(static_cast<double>(static_cast<float>(value)), kSingle);
  return ofRank(value, rank);
}

// -1, 0 or 1: how `l` compares with `r`.
int compare(const Variant& l, const Variant& r) {
  const VarType lt = l.type();
  const VarType rt = r.type();
  if (lt == VarType::Object || rt == VarType::Object || lt == VarType::Array || rt == VarType::Array) {
    raiseHostError(err::kTypeMismatch);
  }
  const bool lText = lt == VarType::String;
  const bool rText = rt == VarType::String;
  if ((lText && (rText || rt == VarType::Empty)) || (rText && lt == VarType::Empty)) {
    const std::u16string& a = lText ? l.text().str() : std::u16string();
    const std::u16string b = rText ? r.text().str() : std::u16string();
    return a < b ? -1 : (a == b ? 0 : 1);
  }
  const double a = l.toDouble();
  const double b = r.toDouble();
  return a < b ? -1 : (a == b ? 0 : 1);
}

Variant comparison(std::string_view op, const Variant& l, const Variant& r) {
  if (isNull(l) || isNull(r)) return Variant::null();
  const int c = compare(l, r);
  bool result = false;
  if (op == "=") result = c == 0;
  else if (op == "<>") result = c != 0;
  else if (op == "<") result = c < 0;
  else if (op == ">") result = c > 0;
  else if (op == "<=") result = c <= 0;
  else result = c >= 0;
  return Variant::boolean(result);
}

Variant logical(std::string_view op, const Variant& l, const Variant& r) {
  if (isNull(l) || isNull(r)) return Variant::null();
  const auto bits = [&](int32_t a, int32_t b) {
    return op == "and" ? (a & b) : op == "or" ? (a | b) : (a ^ b);
  };
  if (l.type() == VarType::Boolean && r.type() == VarType::Boolean) {
    return Variant::boolean(bits(l.toBool(), r.toBool()) != 0);
  }
  const int32_t value = bits(l.type() == VarType::String ? l.toBool() : l.toInt32(),
                             r.type() == VarType::String ? r.toBool() : r.toInt32());
  const bool narrow = rankOf(l) <= kInteger && rankOf(r) <= kInteger;
  return narrow ? Variant(static_cast<int16_t>(value)) : Variant(value);
}

}  // namespace

[[noreturn]] void raiseHostError(int32_t number) { raiseError(number, kHostSource); }

void appendJoined(std::u16string& text, const Variant& value) {
  if (isNull(value) || value.isEmpty()) return;
  if (value.type() == VarType::String) {
    text += value.text().str();
    return;
  }
  text += joinText(value);
}

Variant binaryOperation(std::string_view op, const Variant& left, const Variant& right) {
  if (op == "&") {
    if (isNull(left) && isNull(right)) return Variant::null();
    return Variant(Text(joinText(left) + joinText(right)));
  }
  if (op == "is") {
    if (!left.isObject() || !right.isObject()) raiseHostError(err::kObjectRequired);
    return Variant::boolean(left.toObject().get() == right.toObject().get());
  }
  if (op == "and" || op == "or" || op == "xor") return logical(op, left, right);
  if (op == "=" || op == "<>" || op == "<" || op == ">" || op == "<=" || op == ">=") {
    return comparison(op, left, right);
  }
  return arithmetic(op, left, right);
}

Variant unaryOperation(std::string_view op, const Variant& operand) {
  if (operand.type() == VarType::Null) return Variant::null();
  if (op == "not") {
    if (operand.type() == VarType::Boolean || operand.type() == VarType::String) {
      return Variant::boolean(operand.toBool() == 0);
    }
    const int32_t value = ~operand.toInt32();
    return rankOf(operand) <= kInteger ? Variant(static_cast<int16_t>(value)) : Variant(value);
  }
  if (op == "+") {
    if (!isNumeric(operand.type()) && operand.type() != VarType::String) raiseHostError(err::kTypeMismatch);
    return operand.deref();
  }
  return arithmetic("-", Variant(static_cast<int16_t>(0)), operand);
}

}  // namespace zidevuv10::script
