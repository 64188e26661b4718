// Arithmetic, text, comparison and logical operators of the script host.
#include "operators.h"

#include <cmath>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>

#include "zidevuv10/date.h"
#include "zidevuv10/error.h"
#include "zidevuv10/safe_array.h"

namespace zidevuv10::script {

namespace {

// Numeric types, narrowest first; the result of + - * is the wider operand's.
enum Rank { kByte, kInteger, kLong, kSingle, kDouble };

bool isNumeric(VarType t) {
  return t == VarType::Byte || t == VarType::Integer || t == VarType::Long || t == VarType::Single ||
         t == VarType::Double || t == VarType::Boolean || t == VarType::Empty || t == VarType::Date;
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
    case VarType::Date:
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

bool eitherNull(const Variant& l, const Variant& r) { return isNull(l) || isNull(r); }

// The wider operand's rank; raises for an operand that is no number.
Rank widerRank(const Variant& l, const Variant& r) { return std::max(rankOf(l), rankOf(r)); }

// `+ - *`: in the wider operand's type while the value fits it.
template <typename Op>
Variant sameRank(const Variant& l, const Variant& r, Op op) {
  if (eitherNull(l, r)) return Variant::null();
  const Rank rank = widerRank(l, r);
  const double a = l.toDouble();
  const double b = r.toDouble();
  const double value = op(a, b);
  if (rank == kSingle) return ofRank(static_cast<double>(static_cast<float>(value)), kSingle);
  return ofRank(value, rank);
}

bool isDate(const Variant& v) { return v.type() == VarType::Date; }

// A date reached by date arithmetic; error 6 outside the valid dates.
Variant dateResult(double days) {
  if (!(days >= kFirstDate && days < kLastDate + 1)) raiseHostError(err::kOverflow);
  return Variant::date(days);
}

// `+` joins two texts (or a text and Empty); numbers are added; a date and
// a number of days give a date.
Variant add(const Variant& l, const Variant& r) {
  if (eitherNull(l, r)) return Variant::null();
  if (isDate(l) || isDate(r)) {
    widerRank(l, r);
    return dateResult(l.toDouble() + r.toDouble());
  }
  if (l.type() == VarType::String && (r.type() == VarType::String || r.isEmpty())) {
    return Variant(Text(l.toText().str() + r.toText().str()));
  }
  if (l.isEmpty() && r.type() == VarType::String) return Variant(r.toText());
  return sameRank(l, r, std::plus<double>());
}

// A date less a number of days is a date; two dates are the days between them.
Variant subtract(const Variant& l, const Variant& r) {
  if (!eitherNull(l, r) && (isDate(l) || isDate(r))) {
    widerRank(l, r);
    const double value = l.toDouble() - r.toDouble();
    return isDate(l) && isDate(r) ? Variant(value) : dateResult(value);
  }
  return sameRank(l, r, std::minus<double>());
}

Variant divide(const Variant& l, const Variant& r) {
  if (eitherNull(l, r)) return Variant::null();
  widerRank(l, r);
  const double a = l.toDouble();
  const double b = r.toDouble();
  if (b == 0) raiseHostError(a == 0 ? err::kOverflow : err::kDivisionByZero);
  return ofRank(a / b, kDouble);
}

Variant power(const Variant& l, const Variant& r) {
  if (eitherNull(l, r)) return Variant::null();
  widerRank(l, r);
  const double a = l.toDouble();
  const double b = r.toDouble();
  return ofRank(std::pow(a, b), kDouble);
}

// `\` and `Mod`: on whole numbers, at least Integer and at most Long.
template <typename Op>
Variant wholeDivision(const Variant& l, const Variant& r, Op op) {
  if (eitherNull(l, r)) return Variant::null();
  const Rank rank = widerRank(l, r);
  const int64_t a = l.toInt32();
  const int64_t b = r.toInt32();
  if (b == 0) raiseHostError(err::kDivisionByZero);
  const Rank whole = std::min(std::max(rank, kInteger), kLong);
  return ofRank(static_cast<double>(op(a, b)), whole);
}

int ordered(double a, double b) { return a < b ? -1 : (a == b ? 0 : 1); }

// A number that a text holds, if it holds one.
std::optional<double> numberIn(const Variant& text) {
  try {
    return text.toDouble();
  } catch (const AutomationError&) {
    return std::nullopt;
  }
}

// -1, 0 or 1: how `l` compares with `r`.
int compare(const Variant& l, const Variant& r, bool constantOperand) {
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
  if (!lText && !rText) return ordered(l.toDouble(), r.toDouble());
  // A number (or date) and a text.
  const Variant& text = lText ? l : r;
  const Variant& number = lText ? r : l;
  std::optional<double> value;
  if (number.type() == VarType::Date) value = parseDate(text.text().str());
  if (!value && constantOperand) value = numberIn(text);
  if (value) return lText ? ordered(*value, number.toDouble()) : ordered(number.toDouble(), *value);
  number.toDouble();  // Missing and the like are no number either
  return lText ? 1 : -1;
}

// A comparison: `holds` of (how l compares with r, 0).
template <typename Holds>
Variant comparison(const Variant& l, const Variant& r, bool constantOperand, Holds holds) {
  if (eitherNull(l, r)) return Variant::null();
  return Variant::boolean(holds(compare(l, r, constantOperand), 0));
}

// And, Or, Xor: on Booleans a Boolean, else bitwise on whole numbers.
template <typename Bits>
Variant logical(const Variant& l, const Variant& r, Bits bits) {
  if (eitherNull(l, r)) return Variant::null();
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

Variant comparisonOperation(Operator op, const Variant& left, const Variant& right, bool constantOperand) {
  switch (op) {
    case Operator::Equal: return comparison(left, right, constantOperand, std::equal_to<int>());
    case Operator::NotEqual: return comparison(left, right, constantOperand, std::not_equal_to<int>());
    case Operator::Less: return comparison(left, right, constantOperand, std::less<int>());
    case Operator::Greater: return comparison(left, right, constantOperand, std::greater<int>());
    case Operator::LessOrEqual: return comparison(left, right, constantOperand, std::less_equal<int>());
    case Operator::GreaterOrEqual: return comparison(left, right, constantOperand, std::greater_equal<int>());
    default: break;
  }
  throw std::logic_error("not a comparison");
}

void appendJoined(std::u16string& text, const Variant& value) {
  if (isNull(value) || value.isEmpty()) return;
  if (value.type() == VarType::String) {
    text += value.text().str();
    return;
  }
  text += joinText(value);
}

Variant binaryOperation(Operator op, const Variant& left, const Variant& right) {
  switch (op) {
    case Operator::Concatenate:
      if (isNull(left) && isNull(right)) return Variant::null();
      return Variant(Text(joinText(left) + joinText(right)));
    case Operator::Is:
      if (!left.isObject() || !right.isObject()) raiseHostError(err::kObjectRequired);
      return Variant::boolean(left.toObject().get() == right.toObject().get());
    case Operator::Add: return add(left, right);
    case Operator::Subtract: return subtract(left, right);
    case Operator::Multiply: return sameRank(left, right, std::multiplies<double>());
    case Operator::Divide: return divide(left, right);
    case Operator::IntegerDivide: return wholeDivision(left, right, std::divides<int64_t>());
    case Operator::Modulo: return wholeDivision(left, right, std::modulus<int64_t>());
    case Operator::Power: return power(left, right);
    case Operator::Equal:
    case Operator::NotEqual:
    case Operator::Less:
    case Operator::Greater:
    case Operator::LessOrEqual:
    case Operator::GreaterOrEqual: return comparisonOperation(op, left, right, false);
    case Operator::And: return logical(left, right, std::bit_and<int32_t>());
    case Operator::Or: return logical(left, right, std::bit_or<int32_t>());
    case Operator::Xor: return logical(left, right, std::bit_xor<int32_t>());
    case Operator::Not: break;
  }
  throw std::logic_error("Not takes one operand");
}

Variant unaryOperation(Operator op, const Variant& operand) {
  if (operand.type() == VarType::Null) return Variant::null();
  switch (op) {
    case Operator::Not: {
      if (operand.type() == VarType::Boolean || operand.type() == VarType::String) {
        return Variant::boolean(operand.toBool() == 0);
      }
      const int32_t value = ~operand.toInt32();
      return rankOf(operand) <= kInteger ? Variant(static_cast<int16_t>(value)) : Variant(value);
    }
    case Operator::Add:
      if (!isNumeric(operand.type()) && operand.type() != VarType::String) raiseHostError(err::kTypeMismatch);
      return operand.deref();
    case Operator::Subtract:
      return sameRank(Variant(static_cast<int16_t>(0)), operand, std::minus<double>());
    case Operator::Multiply:
    case Operator::Divide:
    case Operator::IntegerDivide:
    case Operator::Modulo:
    case Operator::Power:
    case Operator::Concatenate:
    case Operator::Equal:
    case Operator::NotEqual:
    case Operator::Less:
    case Operator::Greater:
    case Operator::LessOrEqual:
    case Operator::GreaterOrEqual:
    case Operator::Is:
    case Operator::And:
    case Operator::Or:
    case Operator::Xor: break;
  }
  throw std::logic_error("not a unary operator");
}

}  // namespace zidevuv10::script
