// The automation layer's tagged value. A Variant is Empty, Null, Missing
// (an omitted optional argument), a byte, a 16- or 32-bit integer, a single or
// double, a 16-bit Boolean, a Text, an object reference, an array, a date
// (days since 30 December 1899, see date.h), or a reference to another
// Variant (a by-reference argument).
//
// Conversions follow the host runtime: numbers to 16 bits fail with 6 when
// they do not fit, text that is no number fails with 13, Null with 94,
// fractions round half to even. A date converts to its day count as a
// number and to the locale's date text; text converts to no date here
// (see parseDate).
//
// Values; used by one thread at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <variant>

#include "zidevuv10/export.h"
#include "zidevuv10/object.h"
#include "zidevuv10/text.h"

namespace zidevuv10 {

class SafeArray;

// Boolean of the automation layer: true is -1, false 0; any non-zero
// value received counts as true.
using Bool16 = int16_t;
inline constexpr Bool16 kTrue = -1;
inline constexpr Bool16 kFalse = 0;

enum class VarType { Empty, Null, Missing, Byte, Integer, Long, Single, Double, Boolean, String, Object, Array, ByRef, Date };

class ZIDEVUV10_API Variant {
 public:
  Variant() = default;  // Empty
  Variant(uint8_t v) : v_(v) {}           // NOLINT: implicit as in the runtime
  Variant(int16_t v) : v_(v) {}           // NOLINT
  Variant(int32_t v) : v_(v) {}           // NOLINT
  Variant(float v) : v_(v) {}             // NOLINT
  Variant(double v) : v_(v) {}            // NOLINT
  Variant(Text v) : v_(std::move(v)) {}   // NOLINT
  Variant(const char16_t* v) : v_(Text(v)) {}  // NOLINT
  Variant(ObjectRef v) : v_(std::move(v)) {}   // NOLINT
  template <typename T>
  Variant(const Ref<T>& v) : v_(ObjectRef(v)) {}  // NOLINT
  Variant(std::shared_ptr<SafeArray> v) : v_(std::move(v)) {}  // NOLINT

  static Variant null();
  static Variant missing();
  static Variant boolean(bool v);
  static Variant date(double days);
  // A reference to a caller's variable: changes made by a member reach it.
  static Variant byRef(Variant& target);

  // The type, looking through a by-reference Variant.
  VarType type() const;
  bool isByRef() const { return std::holds_alternative<Variant*>(v_); }
  // The Variant a by-reference one points to, or this one.
  const Variant& deref() const;
  Variant& deref();

  bool isEmpty() const { return type() == VarType::Empty; }
  bool isMissing() const { return type() == VarType::Missing; }
  bool isObject() const { return type() == VarType::Object; }

  // Conversions as the runtime does them (errors 6, 13, 94).
  int16_t toInt16() const;
  int32_t toInt32() const;
  double toDouble() const;
  float toSingle() const;
  Bool16 toBool() const;
  Text toText() const;
  // The object held (or no object); error 13 for a value that is not an object.
  ObjectRef toObject() const;
  // The array held, or null; error 13 for a value that is not an array.
  std::shared_ptr<SafeArray> toArray() const;

  // Direct access to what is held (no conversion); only for the matching type.
  const Text& text() const;
  Text& text();
  int16_t int16() const;
  int32_t int32() const;
  int32_t& int32();

  // Assigns through a by-reference Variant to the caller's variable.
  void assign(Variant value);

 private:
  struct NullTag {};
  struct MissingTag {};
  struct BoolTag {
    Bool16 v;
  };
  struct DateTag {
    double days;
  };
  using Storage = std::variant<std::monostate, NullTag, MissingTag, uint8_t, int16_t, int32_t, float, double,
                               BoolTag, Text, ObjectRef, std::shared_ptr<SafeArray>, Variant*, DateTag>;
  explicit Variant(Storage s) : v_(std::move(s)) {}
  Storage v_;
};

}  // namespace zidevuv10
