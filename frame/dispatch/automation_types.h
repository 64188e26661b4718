// What each C++ parameter and result type of a typed interface stands for
// in a member table: its automation type, whether it is passed by
// reference, which CallArgs accessor hands the member its value, and how a
// result becomes a Variant. A type missing here does not compile.
//
// Passing follows the C++ signature: a non-const lvalue reference is by
// reference (the member may change the caller's variable), a value or a
// const reference is by value.
//
// Hints say what the C++ type alone cannot: that an int16_t is a Boolean
// (Bool16 is int16_t), that an int32_t is an enumeration, or the name of an
// object type; each hint is accepted only on the C++ type it fits.
#pragma once

#include <cstdint>
#include <string_view>
#include <type_traits>

#include "zidevuv10/collection.h"
#include "zidevuv10/object.h"
#include "zidevuv10/safe_array.h"
#include "zidevuv10/text.h"
#include "zidevuv10/type_info.h"
#include "zidevuv10/variant.h"

namespace zidevuv10::frame {

// No hint: the C++ type says it all.
struct Plain {};
// An int16_t that is a Boolean (true -1, false 0).
struct Boolean {};
// An enumeration passed as an int32_t: struct X { static constexpr
// std::u16string_view enumName = u"..."; }.
template <typename H>
concept EnumHint = requires { H::enumName; };
// An object of a named type passed as ObjectRef: struct X { static constexpr
// std::u16string_view objectName = u"..."; }.
template <typename H>
concept ObjectHint = requires { H::objectName; };

// The type name a typed interface goes by in listings; specialised for
// every interface a member passes as Ref<T>.
template <typename T>
struct InterfaceName;
template <>
struct InterfaceName<Collection> {
  static constexpr std::u16string_view value = u"Collection";
};

template <typename T>
struct IsRef : std::false_type {};
template <typename T>
struct IsRef<Ref<T>> : std::true_type {
  using Target = T;
};

// Passing of a declared parameter type.
template <typename P>
inline constexpr bool kByRef =
    std::is_lvalue_reference_v<P> && !std::is_const_v<std::remove_reference_t<P>>;

// The automation type of a C++ value type under a hint.
template <typename T, typename Hint>
constexpr TypeRef automationType() {
  if constexpr (std::is_same_v<T, int16_t>) {
    static_assert(std::is_same_v<Hint, Plain> || std::is_same_v<Hint, Boolean>,
                  "an int16_t is an Integer or, hinted, a Boolean");
    return {std::is_same_v<Hint, Boolean> ? TypeCode::Bool : TypeCode::Int16, {}};
  } else if constexpr (std::is_same_v<T, int32_t>) {
    if constexpr (EnumHint<Hint>) {
      return {TypeCode::Int32, Hint::enumName};
    } else {
      static_assert(std::is_same_v<Hint, Plain>, "an int32_t takes only an enumeration hint");
      return {TypeCode::Int32, {}};
    }
  } else if constexpr (std::is_same_v<T, ObjectRef>) {
    if constexpr (ObjectHint<Hint>) {
      return {TypeCode::Object, Hint::objectName};
    } else {
      static_assert(std::is_same_v<Hint, Plain>, "an ObjectRef takes only an object hint");
      return {TypeCode::Object, {}};
    }
  } else {
    static_assert(std::is_same_v<Hint, Plain>, "this type takes no hint");
    if constexpr (std::is_same_v<T, float>) {
      return {TypeCode::Single, {}};
    } else if constexpr (std::is_same_v<T, double>) {
      return {TypeCode::Double, {}};
    } else if constexpr (std::is_same_v<T, Text>) {
      return {TypeCode::Text, {}};
    } else if constexpr (std::is_same_v<T, Variant>) {
      return {TypeCode::Variant, {}};
    } else if constexpr (std::is_same_v<T, SafeArray>) {
      return {TypeCode::TextArray, {}};
    } else if constexpr (IsRef<T>::value) {
      return {TypeCode::Object, InterfaceName<typename IsRef<T>::Target>::value};
    } else {
      static_assert(!sizeof(T), "no automation type for this C++ type");
    }
  }
}

// What a member receives for parameter i, declared as P, from the coerced
// arguments: a pointer into them for what the member reads or changes in
// place, else a converted copy.
template <typename P, typename Hint>
auto takeArgument(CallArgs& a, std::size_t i) {
  using T = std::remove_cvref_t<P>;
  if constexpr (std::is_same_v<T, int16_t>) {
    static_assert(!kByRef<P>, "an int16_t is passed by value");
    if constexpr (std::is_same_v<Hint, Boolean>) {
      return a.boolean(i);
    } else {
      return a.int16(i);
    }
  } else if constexpr (std::is_same_v<T, int32_t>) {
    if constexpr (kByRef<P>) {
      return &a.int32Ref(i);
    } else {
      return a.int32(i);
    }
  } else if constexpr (std::is_same_v<T, Text>) {
    if constexpr (kByRef<P>) {
      return &a.textRef(i);
    } else {
      return &a.text(i);
    }
  } else if constexpr (std::is_same_v<T, float>) {
    static_assert(!kByRef<P>, "a float is passed by value");
    return a.variant(i).toSingle();
  } else if constexpr (std::is_same_v<T, Variant>) {
    return &a.variant(i);
  } else if constexpr (std::is_same_v<T, SafeArray>) {
    static_assert(kByRef<P>, "an array is passed by reference");
    return &a.stringArray(i);
  } else if constexpr (std::is_same_v<T, ObjectRef>) {
    return a.object(i);
  } else if constexpr (IsRef<T>::value) {
    static_assert(!kByRef<P>, "a typed object is passed by value");
    return objectAs<typename IsRef<T>::Target>(a.object(i));
  } else {
    static_assert(!sizeof(T), "no argument passing for this C++ type");
  }
}

// The argument of parameter i for the length of one call. An object by
// reference goes back to the caller's variable when the member replaced
// it, even when the member then fails.
template <typename P, typename Hint>
class Argument {
  using T = std::remove_cvref_t<P>;
  using Held = decltype(takeArgument<P, Hint>(std::declval<CallArgs&>(), 0));
  static constexpr bool kObjectByRef = std::is_same_v<T, ObjectRef> && kByRef<P>;

 public:
  Argument(CallArgs& args, std::size_t i)
      : args_(args), i_(i), value_(takeArgument<P, Hint>(args, i)) {
    if constexpr (kObjectByRef) passed_ = value_;
  }
  Argument(const Argument&) = delete;
  Argument& operator=(const Argument&) = delete;
  ~Argument() {
    if constexpr (kObjectByRef) {
      if (!(value_ == passed_)) args_.variant(i_) = Variant(value_);
    }
  }

  P get() {
    if constexpr (std::is_pointer_v<Held>) {
      return *value_;
    } else {
      return value_;
    }
  }

 private:
  CallArgs& args_;
  std::size_t i_;
  Held value_;
  [[no_unique_address]] std::conditional_t<kObjectByRef, ObjectRef, Plain> passed_{};
};

// A member's result as the Variant a late-bound caller receives.
template <typename Hint, typename R>
Variant resultVariant(R&& r) {
  using T = std::remove_cvref_t<R>;
  if constexpr (std::is_same_v<Hint, Boolean>) {
    static_assert(std::is_same_v<T, int16_t>, "only an int16_t is a Boolean");
    return Variant::boolean(r != 0);
  } else if constexpr (IsRef<T>::value) {
    return Variant(ObjectRef(r));
  } else {
    return Variant(std::forward<R>(r));
  }
}

}  // namespace zidevuv10::frame
