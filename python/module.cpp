// The extension module _zidevuv10, which the zidevuv10 package imports:
// Dispatch and the object wrappers, com_error, and win32api.
#include <pybind11/pybind11.h>

#include <mutex>

#include "call_lock.h"
#include "dispatch_object.h"
#include "errors.h"
#include "profile_functions.h"
#include "zidevuv10/version.h"

namespace zidevuv10::python {

std::recursive_mutex& objectCallLock() {
  static std::recursive_mutex lock;
  return lock;
}

}  // namespace zidevuv10::python

PYBIND11_MODULE(_zidevuv10, module) {
  module.doc() = "The zidevuv10 library's classes, late-bound, and its profile functions.";
  module.attr("__version__") = ZIDEVUV10_VERSION_STRING;
  zidevuv10::python::defineErrors(module);
  zidevuv10::python::defineDispatch(module);
  zidevuv10::python::defineProfileFunctions(module);
}
