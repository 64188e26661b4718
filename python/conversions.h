// Values between Python and the automation layer:
//   None <-> Empty (Null and Missing read as None), bool <-> Boolean (-1/0),
//   int -> Long (beyond 32 bits: Double, which integer parameters refuse
//   with error 6), float <-> Double, str <-> Text (an unset Text reads as
//   ''), list <-> array (a two-dimensional array as a list of rows),
//   library objects <-> wrapper objects, and any other Python object as a
//   client object reached through its attributes.
// Every function here needs the interpreter lock.
#pragma once

#include <pybind11/pybind11.h>

#include <string>

#include "zidevuv10/safe_array.h"
#include "zidevuv10/text.h"
#include "zidevuv10/variant.h"

namespace zidevuv10::python {

namespace py = pybind11;

// UTF-16 of a Python str, lone surrogates kept.
std::u16string toUtf16(py::handle text);
py::str fromUtf16(std::u16string_view text);

// elementType decides the elements of an array made from a list: String
// for a parameter declared as an array of strings.
Variant toVariant(py::handle value,
                  SafeArray::ElementType elementType = SafeArray::ElementType::Variant);
py::object fromVariant(const Variant& value);

}  // namespace zidevuv10::python
