// Member tables: one per class, in slot order, with names, kinds, dispatch
// ids and parameters. The same table drives late-bound calls and the type
// library listing a client can read at run time.
//
// Immutable after static initialisation; safe from any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "zidevuv10/export.h"
#include "zidevuv10/object.h"
#include "zidevuv10/safe_array.h"
#include "zidevuv10/variant.h"

namespace zidevuv10 {

enum class TypeCode { Void, Int16, Int32, Single, Double, Bool, Text, Variant, Object, TextArray };

struct TypeRef {
  TypeCode code = TypeCode::Void;
  // For objects, enumerations and arrays: the type's name ("Collection",
  // "_clsOrviInifKeyA", "ExtractFileName_Constants"); empty for a plain object.
  std::u16string_view name;
};

class CallArgs;
using MemberHandler = Variant (*)(Object& self, CallArgs& args);

struct ParamInfo {
  std::u16string_view name;
  TypeRef type;
  bool byRef = false;
  bool optional = false;
  int32_t defaultValue = 0;  // for optional parameters
  TypeCode defaultType = TypeCode::Void;
};

struct MemberInfo {
  std::u16string_view name;
  InvokeKind kind;
  int32_t dispatchId;
  std::vector<ParamInfo> params;  // for a let or set, the last is the new value
  TypeRef result;
  MemberHandler handler;
};

struct ClassInfo {
  std::u16string_view name;        // class name
  std::u16string_view classId;     // lower-case, without braces
  std::u16string_view interfaceId;
  std::vector<MemberInfo> members;
  ZIDEVUV10_API std::u16string progId() const;  // "<library name>.<class name>"
  std::u16string interfaceName() const { return u"_" + std::u16string(name); }
};

struct EnumInfo {
  std::u16string_view name;
  std::u16string_view id;
  std::vector<std::pair<std::u16string_view, int32_t>> values;
};

// The library's identity and contents.
struct TypeLibraryInfo {
  std::u16string_view name;
  std::u16string_view id;
  uint16_t majorVersion;
  uint16_t minorVersion;
  uint32_t locale;
};

ZIDEVUV10_API const TypeLibraryInfo& typeLibrary();
// The library's classes in type-library order.
ZIDEVUV10_API std::vector<const ClassInfo*> libraryClasses();
ZIDEVUV10_API const std::vector<EnumInfo>& libraryEnums();

// A listing of one class's interface, one member a line in slot order:
// "slot kind name dispid(hex) (params) As result" - readable and stable.
ZIDEVUV10_API std::string describeClass(const ClassInfo& info);

// The coerced arguments of one call, as a member handler sees them.
class ZIDEVUV10_API CallArgs {
 public:
  CallArgs(const MemberInfo& member, std::span<Variant> args);
  // Writes the by-reference values back to the caller's variables.
  void writeBack();

  const Text& text(std::size_t i) const { return values_[i].text(); }
  Text& textRef(std::size_t i);
  int16_t int16(std::size_t i) const { return values_[i].int16(); }
  int32_t int32(std::size_t i) const { return values_[i].int32(); }
  int32_t& int32Ref(std::size_t i);
  Bool16 boolean(std::size_t i) const { return values_[i].toBool(); }
  ObjectRef object(std::size_t i) const { return values_[i].toObject(); }
  // A Variant parameter: by reference, the caller's own variable.
  Variant& variant(std::size_t i);
  // A string-array parameter: the caller's own array; error 13 when the
  // argument is not an array of strings.
  SafeArray& stringArray(std::size_t i);
  std::size_t count() const { return values_.size(); }

 private:
  const MemberInfo& member_;
  std::vector<Variant> values_;
  std::vector<Variant> passed_;    // the values as coerced, before the call
  std::vector<Variant*> targets_;  // the caller's variable for by-reference parameters
};

}  // namespace zidevuv10
