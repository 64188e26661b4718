#include "python_object.h"

#include <string>
#include <vector>

#include "conversions.h"
#include "errors.h"
#include "text/ascii_case.h"
#include "zidevuv10/variant.h"

namespace zidevuv10::python {

namespace {

constexpr std::u16string_view kPythonSource = u"Python";

// The library's error for the Python exception being handled.
AutomationError errorFromPython(py::error_already_set& e) {
  if (e.matches(comErrorType())) {
    const py::object value = e.value();
    return AutomationError(py::cast<int32_t>(value.attr("number")),
                           Text(toUtf16(py::str(value.attr("description")))),
                           Text(toUtf16(py::str(value.attr("source")))));
  }
  const py::object type = e.type();
  const std::u16string typeName = toUtf16(py::str(type.attr("__name__")));
  if (e.matches(PyExc_AttributeError)) {
    return AutomationError(err::kMemberNotSupported, Text(standardDescription(err::kMemberNotSupported)),
                           Text(std::u16string(kPythonSource)));
  }
  return AutomationError(err::kAutomationError, Text(typeName + u": " + toUtf16(py::str(e.value()))),
                         Text(std::u16string(kPythonSource)));
}

// Any Python object, reached by attribute names.
class PythonObject final : public Object {
 public:
  explicit PythonObject(py::handle target) : target_(target.ptr()) { Py_INCREF(target_); }

  std::u16string typeName() const override {
    py::gil_scoped_acquire gil;
    return toUtf16(py::str(py::type::of(py::handle(target_)).attr("__name__")));
  }

  int32_t dispatchId(std::u16string_view name) const override {
    py::gil_scoped_acquire gil;
    try {
      for (std::size_t i = 0; i < names_.size(); ++i) {
        if (text::equalsIgnoringAsciiCase(names_[i], name)) return static_cast<int32_t>(i) + 1;
      }
      std::u16string found;
      py::handle target(target_);
      if (py::hasattr(target, fromUtf16(name))) {
        found = std::u16string(name);
      } else {
        for (py::handle attr : py::reinterpret_steal<py::list>(PyObject_Dir(target_))) {
          const std::u16string candidate = toUtf16(attr);
          if (text::equalsIgnoringAsciiCase(candidate, name)) {
            found = candidate;
            break;
          }
        }
      }
      if (found.empty()) raiseError(err::kMemberNotSupported, kPythonSource);
      names_.push_back(found);
      return static_cast<int32_t>(names_.size());
    } catch (py::error_already_set& e) {
      throw errorFromPython(e);
    }
  }

  Variant invoke(int32_t id, InvokeKind kind, std::span<Variant> args) override {
    py::gil_scoped_acquire gil;
    if (id < 1 || static_cast<std::size_t>(id) > names_.size()) {
      raiseError(err::kMemberNotSupported, kPythonSource);
    }
    const ObjectRef keep(this);
    try {
      py::handle target(target_);
      const py::str name = fromUtf16(names_[static_cast<std::size_t>(id) - 1]);
      if (kind == InvokeKind::PropertyLet || kind == InvokeKind::PropertySet) {
        if (args.size() != 1) raiseError(err::kWrongArgumentCount, kPythonSource);
        py::setattr(target, name, fromVariant(args[0]));
        return Variant();
      }
      py::object member = py::getattr(target, name);
      const bool isMethod = PyMethod_Check(member.ptr()) || PyCFunction_Check(member.ptr()) ||
                            PyFunction_Check(member.ptr());
      if (kind == InvokeKind::PropertyGet && args.empty() && !isMethod) return toVariant(member);
      // Omitted trailing arguments are left out, so the Python defaults apply.
      std::size_t count = args.size();
      while (count > 0 && args[count - 1].isMissing()) --count;
      py::tuple pyArgs(count);
      for (std::size_t i = 0; i < count; ++i) pyArgs[i] = fromVariant(args[i]);
      return toVariant(member(*pyArgs));
    } catch (py::error_already_set& e) {
      throw errorFromPython(e);
    }
  }

  PyObject* target() const { return target_; }

 protected:
  ~PythonObject() override {
    // The last reference may go after the interpreter has ended (the
    // library's per-thread state outlives it); the Python object goes with it.
#if PY_VERSION_HEX >= 0x030D0000
    if (!Py_IsInitialized() || Py_IsFinalizing()) return;
#else
    if (!Py_IsInitialized() || _Py_IsFinalizing()) return;
#endif
    PyGILState_STATE state = PyGILState_Ensure();
    Py_DECREF(target_);
    PyGILState_Release(state);
  }

 private:
  PyObject* target_;
  mutable std::vector<std::u16string> names_;  // dispatch id i is names_[i - 1]
};

}  // namespace

ObjectRef wrapPythonObject(py::handle value) { return ObjectRef(new PythonObject(value)); }

PyObject* wrappedPythonObject(const ObjectRef& object) {
  const auto* wrapper = dynamic_cast<const PythonObject*>(object.get());
  return wrapper ? wrapper->target() : nullptr;
}

}  // namespace zidevuv10::python
