#include "conversions.h"

#include <cmath>
#include <memory>
#include <vector>

#include "dispatch_object.h"
#include "python_object.h"
#include "zidevuv10/collection.h"
#include "zidevuv10/error.h"

namespace zidevuv10::python {

std::u16string toUtf16(py::handle text) {
  py::object bytes = py::reinterpret_steal<py::object>(
      PyUnicode_AsEncodedString(text.ptr(), "utf-16-le", "surrogatepass"));
  if (!bytes) throw py::error_already_set();
  char* data = nullptr;
  Py_ssize_t size = 0;
  if (PyBytes_AsStringAndSize(bytes.ptr(), &data, &size) != 0) throw py::error_already_set();
  std::u16string out(static_cast<std::size_t>(size) / 2, u'\0');
  for (std::size_t i = 0; i < out.size(); ++i) {
    const auto lo = static_cast<unsigned char>(data[2 * i]);
    const auto hi = static_cast<unsigned char>(data[2 * i + 1]);
    out[i] = static_cast<char16_t>(lo | (hi << 8));
  }
  return out;
}

py::str fromUtf16(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xff));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  int order = -1;  // little-endian
  PyObject* s = PyUnicode_DecodeUTF16(bytes.data(), static_cast<Py_ssize_t>(bytes.size()),
                                      "surrogatepass", &order);
  if (s == nullptr) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(s);
}

namespace {

Variant fromInt(py::handle value) {
  int overflow = 0;
  const long long v = PyLong_AsLongLongAndOverflow(value.ptr(), &overflow);
  if (v == -1 && PyErr_Occurred()) throw py::error_already_set();
  if (overflow == 0 && v >= INT32_MIN && v <= INT32_MAX) return Variant(static_cast<int32_t>(v));
  // As the runtime holds a literal too large for a Long: a Double, which a
  // member's integer parameter then refuses with error 6.
  const double d = PyLong_AsDouble(value.ptr());
  if (d == -1.0 && PyErr_Occurred()) {
    PyErr_Clear();
    raiseError(err::kOverflow);
  }
  return Variant(d);
}

bool isSequence(py::handle value) {
  return py::isinstance<py::list>(value) || py::isinstance<py::tuple>(value);
}

Variant element(py::handle value, SafeArray::ElementType type) {
  if (type == SafeArray::ElementType::String) {
    return Variant(value.is_none() ? Text::empty() : toVariant(value).toText());
  }
  return toVariant(value);
}

// A list as a dynamic array from 0; a list of lists of one length as a
// two-dimensional one, rows first.
Variant fromList(py::handle value, SafeArray::ElementType type) {
  const py::sequence items = py::reinterpret_borrow<py::sequence>(value);
  const auto n = static_cast<int32_t>(items.size());
  bool rows = n > 0;
  std::size_t width = 0;
  for (int32_t i = 0; i < n && rows; ++i) {
    py::handle row = items[static_cast<std::size_t>(i)];
    if (!isSequence(row)) {
      rows = false;
    } else {
      const std::size_t w = py::len(row);
      if (i == 0) width = w;
      rows = w == width && w > 0;
    }
  }
  auto array = std::make_shared<SafeArray>(type);
  if (n == 0) return Variant(array);
  if (rows) {
    array->redim({{0, n - 1}, {0, static_cast<int32_t>(width) - 1}}, false);
    for (int32_t i = 0; i < n; ++i) {
      const py::sequence row = items[static_cast<std::size_t>(i)];
      for (std::size_t j = 0; j < width; ++j) {
        array->at(i, static_cast<int32_t>(j)) = element(row[j], type);
      }
    }
  } else {
    array->redim({{0, n - 1}}, false);
    for (int32_t i = 0; i < n; ++i) array->at(i) = element(items[static_cast<std::size_t>(i)], type);
  }
  return Variant(array);
}

py::object fromArray(const SafeArray& array) {
  py::list out;
  if (array.dimensions() == 1) {
    for (int32_t i = array.lowerBound(1); i <= array.upperBound(1); ++i) out.append(fromVariant(array.at(i)));
  } else if (array.dimensions() == 2) {
    for (int32_t i = array.lowerBound(1); i <= array.upperBound(1); ++i) {
      py::list row;
      for (int32_t j = array.lowerBound(2); j <= array.upperBound(2); ++j) row.append(fromVariant(array.at(i, j)));
      out.append(row);
    }
  }
  return out;
}

}  // namespace

Variant toVariant(py::handle value, SafeArray::ElementType elementType) {
  if (value.is_none()) return Variant();
  if (PyBool_Check(value.ptr())) return Variant::boolean(value.ptr() == Py_True);
  if (PyLong_Check(value.ptr())) return fromInt(value);
  if (PyFloat_Check(value.ptr())) return Variant(PyFloat_AS_DOUBLE(value.ptr()));
  if (PyUnicode_Check(value.ptr())) return Variant(Text(toUtf16(value)));
  if (isSequence(value)) return fromList(value, elementType);
  if (py::isinstance<DispatchObject>(value)) return Variant(value.cast<DispatchObject&>().object());
  return Variant(wrapPythonObject(value));
}

py::object fromVariant(const Variant& value) {
  const Variant& v = value.deref();
  switch (v.type()) {
    case VarType::Empty:
    case VarType::Null:
    case VarType::Missing: return py::none();
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long: return py::int_(v.toInt32());
    case VarType::Single:
    case VarType::Double: return py::float_(v.toDouble());
    // A date reaches Python as the text it prints as.
    case VarType::Date: return fromUtf16(v.toText().str());
    case VarType::Boolean: return py::bool_(v.toBool() != 0);
    case VarType::String: return fromUtf16(v.text().str());
    case VarType::Object: return wrapObject(v.toObject());
    case VarType::Array: {
      const auto array = v.toArray();
      return array ? fromArray(*array) : py::list();
    }
    case VarType::ByRef: break;
  }
  return py::none();
}

}  // namespace zidevuv10::python
