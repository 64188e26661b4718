#include "errors.h"

#include <pybind11/eval.h>

#include <new>

#include "conversions.h"

namespace zidevuv10::python {

namespace {

PyObject* comError = nullptr;

void raiseComError(int32_t number, const Text& description, const Text& source) {
  py::object error = py::reinterpret_borrow<py::object>(comError)(
      number, fromUtf16(description.str()), fromUtf16(source.str()));
  PyErr_SetObject(comError, error.ptr());
}

void raiseComError(int32_t number, const std::string& description) {
  raiseComError(number, Text::fromUtf8(description), Text(std::u16string(kLibrarySource)));
}

constexpr char kComErrorSource[] = R"py(
class com_error(Exception):
    """A member of the library failed. As the Windows extension's com_error,
    args is (hresult, strerror, excepinfo, argerror): hresult
    DISP_E_EXCEPTION, excepinfo (0, source, description, None, 0, scode)
    with scode 0x800A0000 plus the error number, argerror None; number,
    description and source are the library's error as it reports it.
    Made as com_error(number, description, source) or with the four
    items of args."""

    DISP_E_EXCEPTION = -2147352567
    _CONTROL_FACILITY = -2146828288  # 0x800A0000, the runtime's errors

    def __init__(self, *args):
        if len(args) == 3:
            number, description, source = args
            hresult, strerror, argerror = self.DISP_E_EXCEPTION, "Exception occurred.", None
            excepinfo = (0, source, description, None, 0, self._CONTROL_FACILITY + number)
        elif len(args) == 4:
            hresult, strerror, excepinfo, argerror = args
            scode = excepinfo[5] if excepinfo else hresult
            number = scode - self._CONTROL_FACILITY if 0 <= scode - self._CONTROL_FACILITY < 0x10000 else scode
            description = excepinfo[2] if excepinfo else strerror
            source = excepinfo[1] if excepinfo else ""
        else:
            raise TypeError("com_error takes (number, description, source) or "
                            "(hresult, strerror, excepinfo, argerror)")
        super().__init__(hresult, strerror, excepinfo, argerror)
        self.hresult = hresult
        self.strerror = strerror
        self.excepinfo = excepinfo
        self.argerror = argerror
        self.number = number
        self.description = description
        self.source = source

    def __str__(self):
        return f"{self.source}: error {self.number}: {self.description}"
)py";

}  // namespace

PyObject* comErrorType() { return comError; }

void defineErrors(py::module_& module) {
  py::dict scope;
  scope["__builtins__"] = py::module_::import("builtins");
  scope["__name__"] = module.attr("__name__");
  py::exec(kComErrorSource, scope);
  py::object type = scope["com_error"];
  type.attr("__module__") = "zidevuv10";
  module.attr("com_error") = type;
  comError = type.release().ptr();  // kept for the life of the process

  py::register_exception_translator([](std::exception_ptr p) {
    try {
      if (p) std::rethrow_exception(p);
    } catch (const py::error_already_set&) {
      throw;
    } catch (const py::builtin_exception&) {
      throw;
    } catch (const AutomationError& e) {
      raiseComError(e.number(), e.description(), e.source());
    } catch (const std::bad_alloc&) {
      raiseComError(err::kOutOfMemory, Text(standardDescription(err::kOutOfMemory)), Text(std::u16string(kLibrarySource)));
    } catch (const std::exception& e) {
      raiseComError(err::kAutomationError, std::string("Automation error: ") + e.what());
    } catch (...) {
      raiseComError(err::kAutomationError, Text(standardDescription(err::kAutomationError)), Text(std::u16string(kLibrarySource)));
    }
  });
}

}  // namespace zidevuv10::python
