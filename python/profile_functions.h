// zidevuv10.win32api: the profile functions with the names, arguments and
// types Windows Python code calls them with, over the library's C profile
// functions. Without iniName they act on WIN.INI. Each call lets the
// interpreter lock go while the store works.
#pragma once

#include <pybind11/pybind11.h>

namespace zidevuv10::python {

void defineProfileFunctions(pybind11::module_& module);

}  // namespace zidevuv10::python
