// A Python object handed to the library, as the library's objects see a
// client's object (a window for SaveFormPosition, say): its members are the
// Python object's attributes, reached by name. Getting reads an attribute
// (calling it when it is a method), letting or setting assigns it, calling
// calls it; names match exactly first, then without regard to case. A Python
// exception becomes the library's error: a com_error keeps its number,
// description and source, a missing attribute is 438, anything else 440
// with the exception's text.
#pragma once

#include <pybind11/pybind11.h>

#include "zidevuv10/object.h"

namespace zidevuv10::python {

namespace py = pybind11;

// The library-side object for a Python object (needs the interpreter lock).
ObjectRef wrapPythonObject(py::handle value);
// The Python object behind a wrapper made by wrapPythonObject, or null.
PyObject* wrappedPythonObject(const ObjectRef& object);

}  // namespace zidevuv10::python
