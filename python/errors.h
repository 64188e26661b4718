// zidevuv10.com_error: the exception every failing member raises, carrying
// the library's error number, description and source; and the translation
// of every C++ exception into it, so that nothing else leaves a call.
#pragma once

#include <pybind11/pybind11.h>

#include "zidevuv10/error.h"

namespace zidevuv10::python {

namespace py = pybind11;

// Defines com_error in the module and installs the exception translation.
void defineErrors(py::module_& module);
// The com_error class (after defineErrors).
PyObject* comErrorType();

}  // namespace zidevuv10::python
