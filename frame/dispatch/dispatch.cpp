// Late-bound calls through a class's member table: member lookup by name or
// dispatch id, argument count and coercion to each parameter's type,
// optional arguments with their defaults, and by-reference write-back.
#include <algorithm>
#include <optional>

#include "automation/member_guard.h"
#include "text/ascii_case.h"
#include "zidevuv10/error.h"
#include "zidevuv10/safe_array.h"
#include "zidevuv10/type_info.h"
#include "zidevuv10/variant.h"

namespace zidevuv10 {

namespace {

// Method and property get are interchangeable, as the platform allows a
// property get called as a method and the reverse.
bool kindMatches(InvokeKind wanted, InvokeKind member) {
  const auto isRead = [](InvokeKind k) { return k == InvokeKind::Method || k == InvokeKind::PropertyGet; };
  return wanted == member || (isRead(wanted) && isRead(member));
}

std::u16string sourceOf(const Object& self) {
  const ClassInfo* info = self.classInfo();
  return info ? info->progId() : std::u16string(kLibrarySource);
}

// Whether a by-reference argument still holds what it was passed: then the
// caller's variable keeps its own value and type.
bool unchanged(const Variant& passed, const Variant& now) {
  if (passed.type() != now.type()) return false;
  switch (passed.type()) {
    case VarType::Empty:
    case VarType::Null:
    case VarType::Missing: return true;
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Boolean: return passed.toInt32() == now.toInt32();
    case VarType::Single:
    case VarType::Double:
    case VarType::Date: return passed.toDouble() == now.toDouble();
    case VarType::String: return passed.text() == now.text();
    case VarType::Object: return passed.toObject() == now.toObject();
    case VarType::Array:
    case VarType::ByRef: return false;
  }
  return false;
}

Variant defaultOf(const ParamInfo& p) {
  switch (p.defaultType) {
    case TypeCode::Int16: return Variant(static_cast<int16_t>(p.defaultValue));
    case TypeCode::Int32: return Variant(p.defaultValue);
    default: return Variant::missing();
  }
}

// A caller's variable passed where a member fills an array of texts: a
// variable holding nothing, or an array of Variants, becomes an array of
// texts (keeping the elements' texts), as a scripting caller declares its
// variables without a type. Anything else stays, and is refused as before.
void takeTextArray(Variant& target) {
  if (target.isEmpty()) {
    target = Variant(std::make_shared<SafeArray>(SafeArray::ElementType::String));
    return;
  }
  if (target.type() != VarType::Array) return;
  const auto array = target.toArray();
  if (!array || array->elementType() != SafeArray::ElementType::Variant || array->dimensions() > 1) return;
  auto texts = std::make_shared<SafeArray>(SafeArray::ElementType::String);
  if (array->dimensions() == 1) {
    texts->redim({{array->lowerBound(), array->upperBound()}}, false);
    for (int32_t i = array->lowerBound(); i <= array->upperBound(); ++i) texts->at(i) = Variant(array->at(i).toText());
  }
  target = Variant(texts);
}

// The value a parameter receives from an argument.
Variant coerce(const ParamInfo& p, const Variant& arg) {
  switch (p.type.code) {
    case TypeCode::Int16: return Variant(arg.toInt16());
    case TypeCode::Int32: return Variant(arg.toInt32());
    case TypeCode::Single: return Variant(arg.toSingle());
    case TypeCode::Double: return Variant(arg.toDouble());
    case TypeCode::Bool: return Variant::boolean(arg.toBool() != 0);
    case TypeCode::Text: return Variant(arg.toText());
    case TypeCode::Object: return Variant(arg.toObject());
    case TypeCode::TextArray: return Variant(arg.toArray());
    case TypeCode::Variant:
    case TypeCode::Void: return Variant(arg.deref());
  }
  return Variant(arg.deref());
}

}  // namespace

std::u16string ClassInfo::progId() const {
  return std::u16string(typeLibrary().name) + u"." + std::u16string(name);
}

std::u16string Object::typeName() const {
  const ClassInfo* info = classInfo();
  return info ? std::u16string(info->name) : u"Object";
}

int32_t Object::dispatchId(std::u16string_view name) const {
  if (const ClassInfo* info = classInfo()) {
    for (const auto& m : info->members) {
      if (text::equalsIgnoringAsciiCase(m.name, name)) return m.dispatchId;
    }
  }
  raiseError(err::kMemberNotSupported, sourceOf(*this));
}

Variant Object::invoke(int32_t dispatchId, InvokeKind kind, std::span<Variant> args) {
  const ClassInfo* info = classInfo();
  const MemberInfo* member = nullptr;
  if (info) {
    for (const auto& m : info->members) {
      if (m.dispatchId == dispatchId && kindMatches(kind, m.kind)) {
        member = &m;
        break;
      }
    }
  }
  if (member == nullptr) raiseError(err::kMemberNotSupported, sourceOf(*this));
  // Keep the object alive for the call, even if the call drops the last
  // reference a client held.
  const ObjectRef keep(this);
  std::optional<CallArgs> call;
  try {
    call.emplace(*member, args);
    Variant result = member->handler(*this, *call);
    call->writeBack();
    return result;
  } catch (const AutomationError& e) {
    // By-reference arguments are the caller's variables: what the member
    // changed before it failed stays changed.
    // An error raised inside a member of one of the library's classes
    // names that class in its source, as the library's own dispatch errors do.
    if (call) call->writeBack();
    frame::rethrowNamedAfterClass(*this, e);
  } catch (...) {
    // Any other failure (out of memory: error 7) becomes an automation
    // error of the class, after the same write-back.
    if (call) {
      try {
        call->writeBack();
      } catch (...) {
        frame::raiseForCurrentException(sourceOf(*this));
      }
    }
    frame::raiseForCurrentException(sourceOf(*this));
  }
}

CallArgs::CallArgs(const MemberInfo& member, std::span<Variant> args) : member_(member) {
  const auto& params = member.params;
  std::size_t required = 0;
  for (const auto& p : params) required += p.optional ? 0 : 1;
  if (args.size() > params.size() || args.size() < required) {
    raiseError(err::kWrongArgumentCount);
  }
  values_.reserve(params.size());
  targets_.assign(params.size(), nullptr);
  for (std::size_t i = 0; i < params.size(); ++i) {
    const ParamInfo& p = params[i];
    const bool given = i < args.size() && !args[i].isMissing();
    if (!given) {
      if (!p.optional) raiseError(err::kArgumentNotOptional);
      values_.push_back(defaultOf(p));
      continue;
    }
    Variant& arg = args[i];
    if (p.byRef && arg.isByRef()) targets_[i] = &arg.deref();
    if (p.type.code == TypeCode::TextArray && !p.byRef) raiseError(err::kTypeMismatch);
    if (p.type.code == TypeCode::TextArray && targets_[i] != nullptr) takeTextArray(*targets_[i]);
    values_.push_back(coerce(p, arg));
  }
  passed_ = values_;
}

void CallArgs::writeBack() {
  for (std::size_t i = 0; i < values_.size(); ++i) {
    // Arrays and Variants by reference were changed in place; a value the
    // member did not change leaves the caller's variable as it was, type
    // included.
    const TypeCode code = member_.params[i].type.code;
    if (targets_[i] != nullptr && code != TypeCode::TextArray && code != TypeCode::Variant &&
        !unchanged(passed_[i], values_[i])) {
      *targets_[i] = values_[i];
    }
  }
}

Text& CallArgs::textRef(std::size_t i) { return values_[i].text(); }
int32_t& CallArgs::int32Ref(std::size_t i) { return values_[i].int32(); }

SafeArray& CallArgs::stringArray(std::size_t i) {
  const auto array = variant(i).toArray();
  if (!array || array->elementType() != SafeArray::ElementType::String) {
    raiseError(err::kTypeMismatch);
  }
  return *array;
}

Variant& CallArgs::variant(std::size_t i) {
  // A Variant by reference is the caller's own variable.
  if (targets_[i] != nullptr) return *targets_[i];
  return values_[i];
}

}  // namespace zidevuv10
