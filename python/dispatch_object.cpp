#include "dispatch_object.h"

#include <algorithm>
#include <vector>

#include "call_lock.h"
#include "conversions.h"
#include "python_object.h"
#include "text/ascii_case.h"
#include "zidevuv10/collection.h"
#include "zidevuv10/error.h"
#include "zidevuv10/host.h"
#include "zidevuv10/library.h"
#include "zidevuv10/variant.h"

namespace zidevuv10::python {

namespace {

std::u16string fromUtf8(const std::string& s) { return toUtf16(py::str(s)); }

std::string utf8(std::u16string_view s) { return fromUtf16(s).cast<std::string>(); }

// Lets a reference go under the object lock: the last one runs the
// object's destructor, which may reach objects it shares state with.
void dropReference(ObjectRef& object) {
  if (!object) return;
  if (!Py_IsInitialized()) {
    object = nullptr;
    return;
  }
  auto lock = lockObjects();
  object = nullptr;
}

// The members of one name, by kind (the last of each kind the table lists);
// `any` when the name is there at all.
struct NamedMembers {
  bool any = false;
  const MemberInfo* method = nullptr;
  const MemberInfo* get = nullptr;
  const MemberInfo* let = nullptr;
  const MemberInfo* set = nullptr;
};

NamedMembers membersNamed(const ClassInfo& info, std::u16string_view wanted) {
  NamedMembers found;
  for (const auto& m : info.members) {
    if (!text::equalsIgnoringAsciiCase(m.name, wanted)) continue;
    found.any = true;
    switch (m.kind) {
      case InvokeKind::Method: found.method = &m; break;
      case InvokeKind::PropertyGet: found.get = &m; break;
      case InvokeKind::PropertyLet: found.let = &m; break;
      case InvokeKind::PropertySet: found.set = &m; break;
    }
  }
  return found;
}

bool isPlainValue(py::handle v) {
  return v.is_none() || PyBool_Check(v.ptr()) || PyLong_Check(v.ptr()) || PyFloat_Check(v.ptr()) ||
         PyUnicode_Check(v.ptr()) || py::isinstance<py::list>(v) || py::isinstance<py::tuple>(v);
}

// The value a parameter receives: lists become arrays of strings for a
// string-array parameter, which None leaves empty.
Variant argument(py::handle value, const ParamInfo* param) {
  if (param != nullptr && param->type.code == TypeCode::TextArray) {
    if (value.is_none()) return Variant(std::make_shared<SafeArray>(SafeArray::ElementType::String));
    return toVariant(value, SafeArray::ElementType::String);
  }
  return toVariant(value);
}

std::size_t requiredCount(const MemberInfo& m) {
  return static_cast<std::size_t>(
      std::count_if(m.params.begin(), m.params.end(), [](const ParamInfo& p) { return !p.optional; }));
}

// One call of a member, with the interpreter lock released while the
// library works.
py::object invokeMember(const ObjectRef& object, std::u16string_view name, InvokeKind kind,
                        const MemberInfo* member, const py::tuple& args, const py::dict& kwargs) {
  auto lock = lockObjects();
  const std::size_t paramCount = member ? member->params.size() : 0;
  auto paramAt = [&](std::size_t i) { return i < paramCount ? &member->params[i] : nullptr; };

  std::size_t count = args.size();
  std::vector<std::pair<std::size_t, py::handle>> named;
  for (auto [key, value] : kwargs) {
    const std::u16string keyName = toUtf16(key);
    std::size_t index = paramCount;
    for (std::size_t i = 0; i < paramCount; ++i) {
      if (text::equalsIgnoringAsciiCase(member->params[i].name, keyName)) index = i;
    }
    if (index == paramCount) raiseError(err::kNamedArgumentNotFound);
    if (index < args.size()) {
      throw py::type_error(utf8(name) + "() got multiple values for argument '" + utf8(keyName) + "'");
    }
    named.emplace_back(index, value);
    count = std::max(count, index + 1);
  }

  std::vector<Variant> values(count, Variant::missing());
  for (std::size_t i = 0; i < args.size(); ++i) values[i] = argument(args[i], paramAt(i));
  for (const auto& [index, value] : named) values[index] = argument(value, paramAt(index));

  // By-reference parameters get references to values, whose final contents
  // are handed back after the call.
  std::vector<Variant> callArgs(count);
  for (std::size_t i = 0; i < count; ++i) {
    const ParamInfo* p = paramAt(i);
    callArgs[i] = p && p->byRef && !values[i].isMissing() ? Variant::byRef(values[i]) : values[i];
  }

  Variant result;
  {
    py::gil_scoped_release released;
    result = callByName(object, name, kind, callArgs);
  }
  py::object out = fromVariant(result);
  std::vector<std::size_t> byRef;
  for (std::size_t i = 0; i < paramCount; ++i) {
    if (member->params[i].byRef) byRef.push_back(i);
  }
  if (byRef.empty()) return out;
  py::tuple tuple(byRef.size() + 1);
  tuple[0] = out;
  for (std::size_t k = 0; k < byRef.size(); ++k) {
    const std::size_t i = byRef[k];
    tuple[k + 1] = i < count ? fromVariant(values[i]) : py::none();
  }
  return tuple;
}

py::object callMember(const ObjectRef& object, std::u16string_view name, InvokeKind kind,
                      const MemberInfo* member, py::object value = py::object()) {
  py::tuple args = value ? py::make_tuple(value) : py::tuple();
  return invokeMember(object, name, kind, member, args, py::dict());
}

const char* typeCodeName(TypeCode code) {
  switch (code) {
    case TypeCode::Void: return "Void";
    case TypeCode::Int16: return "Int16";
    case TypeCode::Int32: return "Int32";
    case TypeCode::Single: return "Single";
    case TypeCode::Double: return "Double";
    case TypeCode::Bool: return "Bool";
    case TypeCode::Text: return "Text";
    case TypeCode::Variant: return "Variant";
    case TypeCode::Object: return "Object";
    case TypeCode::TextArray: return "TextArray";
  }
  return "Variant";
}

// A member to call; one from a class's table becomes a Python function
// carrying the member's signature and doc (zidevuv10/_members.py).
py::object bound(const ObjectRef& object, std::u16string_view name, InvokeKind kind, const MemberInfo* member) {
  py::object callable = py::cast(BoundMember(object, std::u16string(name), kind, member));
  const ClassInfo* info = object->classInfo();
  if (member == nullptr || info == nullptr) return callable;
  py::list params;
  for (const ParamInfo& p : member->params) {
    params.append(py::make_tuple(fromUtf16(p.name), typeCodeName(p.type.code), p.optional, p.byRef));
  }
  return py::module_::import("zidevuv10._members")
      .attr("member_function")(callable, fromUtf16(member->name), params, typeCodeName(member->result.code),
                               kind == InvokeKind::Method ? "Method" : "PropertyGet", fromUtf16(info->progId()));
}

}  // namespace

DispatchObject::~DispatchObject() { dropReference(object_); }

py::object DispatchObject::getAttribute(const std::string& name) const {
  if (name.rfind("__", 0) == 0) throw py::attribute_error(name);
  const std::u16string wanted = fromUtf8(name);
  if (const ClassInfo* info = object_->classInfo()) {
    const NamedMembers m = membersNamed(*info, wanted);
    if (!m.any) throw py::attribute_error(repr() + " has no member '" + name + "'");
    if (m.get != nullptr) {
      if (requiredCount(*m.get) == 0) return callMember(object_, m.get->name, InvokeKind::PropertyGet, m.get);
      return bound(object_, m.get->name, InvokeKind::PropertyGet, m.get);
    }
    if (m.method != nullptr) return bound(object_, m.method->name, InvokeKind::Method, m.method);
    // Write-only: the library answers the read as it does.
    return callMember(object_, wanted, InvokeKind::PropertyGet, nullptr);
  }
  // An object doing its own dispatch: a value when the member reads without
  // arguments, else something to call.
  try {
    return callMember(object_, wanted, InvokeKind::PropertyGet, nullptr);
  } catch (const AutomationError& e) {
    if (e.number() == err::kMemberNotSupported) throw py::attribute_error(repr() + " has no member '" + name + "'");
    if (e.number() != err::kArgumentNotOptional && e.number() != err::kWrongArgumentCount) throw;
  }
  return bound(object_, wanted, InvokeKind::Method, nullptr);
}

void DispatchObject::setAttribute(const std::string& name, py::object value) const {
  const std::u16string wanted = fromUtf8(name);
  const bool objectValue = !isPlainValue(value);
  if (const ClassInfo* info = object_->classInfo()) {
    const NamedMembers m = membersNamed(*info, wanted);
    if (!m.any) throw py::attribute_error(repr() + " has no member '" + name + "'");
    if (m.set != nullptr && (objectValue || m.let == nullptr)) {
      callMember(object_, m.set->name, InvokeKind::PropertySet, m.set, value);
    } else if (m.let != nullptr) {
      callMember(object_, m.let->name, InvokeKind::PropertyLet, m.let, value);
    } else {
      callMember(object_, wanted, InvokeKind::PropertyLet, nullptr, value);  // read-only: the library's error
    }
    return;
  }
  callMember(object_, wanted, objectValue ? InvokeKind::PropertySet : InvokeKind::PropertyLet, nullptr, value);
}

py::list DispatchObject::memberNames() const {
  py::list names;
  if (const ClassInfo* info = object_->classInfo()) {
    for (const auto& m : info->members) {
      py::str name = fromUtf16(m.name);
      if (!names.contains(name)) names.append(name);
    }
  }
  return names;
}

std::string DispatchObject::repr() const {
  const ClassInfo* info = object_->classInfo();
  const std::u16string name = info ? info->progId() : object_->typeName();
  return "<zidevuv10 object " + utf8(name) + ">";
}

py::int_ CollectionObject::length() const {
  auto lock = lockObjects();
  return py::int_(static_cast<const Collection&>(*object()).Count());
}

py::iterator CollectionObject::iterate() const {
  auto lock = lockObjects();
  py::list items;
  for (const Variant& item : static_cast<const Collection&>(*object())) items.append(fromVariant(item));
  return py::iter(items);
}

BoundMember::~BoundMember() { dropReference(object_); }

py::object BoundMember::call(const py::args& args, const py::kwargs& kwargs) const {
  return invokeMember(object_, name_, kind_, member_, args, kwargs);
}

std::string BoundMember::repr() const {
  return "<zidevuv10 member " + utf8(name_) + ">";
}

py::object wrapObject(const ObjectRef& object) {
  if (!object) return py::none();
  if (PyObject* target = wrappedPythonObject(object)) return py::reinterpret_borrow<py::object>(target);
  if (dynamic_cast<const Collection*>(object.get()) != nullptr) {
    return py::cast(std::make_unique<CollectionObject>(object));
  }
  return py::cast(std::make_unique<DispatchObject>(object));
}

py::object createByName(const std::string& name) {
  const std::u16string id = fromUtf8(name);
  auto lock = lockObjects();
  ObjectRef object;
  {
    py::gil_scoped_release released;
    object = createObject(id);
  }
  return wrapObject(object);
}

void defineDispatch(py::module_& module) {
  py::class_<DispatchObject>(module, "CDispatch")
      .def("__getattr__", &DispatchObject::getAttribute)
      .def("__setattr__", &DispatchObject::setAttribute)
      .def("__repr__", &DispatchObject::repr)
      .def("__dir__", &DispatchObject::memberNames)
      .def("__eq__", [](const DispatchObject& a, py::object b) {
        return py::isinstance<DispatchObject>(b) && a.object().get() == b.cast<const DispatchObject&>().object().get();
      })
      .def("__hash__", [](const DispatchObject& a) { return std::hash<const void*>()(a.object().get()); });
  // Count reads as a property, as clients of a Collection write it.
  py::class_<CollectionObject, DispatchObject>(module, "Collection")
      .def_property_readonly("Count", &CollectionObject::length)
      .def("__len__", &CollectionObject::length)
      .def("__iter__", &CollectionObject::iterate);
  py::class_<BoundMember>(module, "Member")
      .def("__call__", &BoundMember::call)
      .def("__repr__", &BoundMember::repr);
  module.def("Dispatch", &createByName, py::arg("name"),
             "A new object of the class named by ProgID or class id ({...} form).");
}

}  // namespace zidevuv10::python
