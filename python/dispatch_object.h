// Library objects as Python objects, late-bound: attributes are the
// object's members, matched without regard to case. Reading an attribute
// calls the property get (or gives a callable for a method or a property
// with parameters), assigning calls the property let (set for an object),
// calling calls the member. Omitted optional arguments are passed as
// missing; keyword arguments are matched to parameter names. A member with
// by-reference parameters returns (result, final value of each by-reference
// parameter...). Every call runs with the interpreter lock released.
#pragma once

#include <pybind11/pybind11.h>

#include <string>

#include "zidevuv10/object.h"
#include "zidevuv10/type_info.h"

namespace zidevuv10::python {

namespace py = pybind11;

class DispatchObject {
 public:
  explicit DispatchObject(ObjectRef object) : object_(std::move(object)) {}
  DispatchObject(const DispatchObject&) = delete;
  DispatchObject& operator=(const DispatchObject&) = delete;
  // Lets the reference go under the object lock.
  virtual ~DispatchObject();

  const ObjectRef& object() const { return object_; }

  py::object getAttribute(const std::string& name) const;
  void setAttribute(const std::string& name, py::object value) const;
  std::string repr() const;
  // The members' names, in the class's order.
  py::list memberNames() const;

 private:
  ObjectRef object_;
};

// A Collection: also len() and iteration over its items.
class CollectionObject final : public DispatchObject {
 public:
  using DispatchObject::DispatchObject;
  py::int_ length() const;
  py::iterator iterate() const;
};

// A member read as an attribute, to be called.
class BoundMember {
 public:
  BoundMember(ObjectRef object, std::u16string name, InvokeKind kind, const MemberInfo* member)
      : object_(std::move(object)), name_(std::move(name)), kind_(kind), member_(member) {}
  ~BoundMember();
  py::object call(const py::args& args, const py::kwargs& kwargs) const;
  std::string repr() const;
  // The members' names, in the class's order.
  py::list memberNames() const;

 private:
  ObjectRef object_;
  std::u16string name_;
  InvokeKind kind_;
  const MemberInfo* member_;  // null for objects without a member table
};

// The Python object for a library object: the Python object itself for a
// wrapped Python object, a CollectionObject for a Collection, None for no
// object, else a DispatchObject.
py::object wrapObject(const ObjectRef& object);

// Creates a class by ProgID or class id.
py::object createByName(const std::string& name);

void defineDispatch(py::module_& module);

}  // namespace zidevuv10::python
