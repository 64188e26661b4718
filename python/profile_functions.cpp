#include "profile_functions.h"

#include <pybind11/eval.h>

#include <climits>
#include <optional>
#include <string>

#include "zidevuv10/paths.h"
#include "zidevuv10/profile.h"

namespace zidevuv10::python {

namespace py = pybind11;

namespace {

using OptText = std::optional<std::string>;

PyObject* writeError = nullptr;  // win32api.error, kept for the life of the process

const char* ptr(const OptText& s) { return s ? s->c_str() : nullptr; }

// Windows answers text that has no form in the target character set with
// ERROR_NO_UNICODE_TRANSLATION.
constexpr uint32_t kNoUnicodeTranslation = 1113;

[[noreturn]] void raiseApiError(uint32_t winerror, const char* function, const std::string& message) {
  PyErr_SetObject(writeError, py::make_tuple(winerror, function, message).ptr());
  throw py::error_already_set();
}

// A str as UTF-8. Refused, the file untouched: a NUL, which would end the
// text early in the C function, as if the rest were never given
// (ValueError, as Python raises for one in a path), unless `nulAllowed` (a
// list whose items NULs separate); a lone surrogate, which has no UTF-8
// form (the module's error).
std::string utf8Of(py::handle str, const char* what, const char* function, bool nulAllowed = false) {
  Py_ssize_t size = 0;
  const char* data = PyUnicode_AsUTF8AndSize(str.ptr(), &size);
  if (data == nullptr) {
    PyErr_Clear();
    raiseApiError(kNoUnicodeTranslation, function,
                  std::string(what) + " holds a lone surrogate, which has no UTF-8 form");
  }
  std::string out(data, static_cast<std::size_t>(size));
  if (!nulAllowed && out.find('\0') != std::string::npos) {
    throw py::value_error(std::string(what) + " holds an embedded null character");
  }
  return out;
}

// str as UTF-8, None as an absent argument.
OptText text(const py::object& value, const char* what, const char* function) {
  if (value.is_none()) return std::nullopt;
  if (!py::isinstance<py::str>(value)) throw py::type_error(std::string(what) + " must be a str or None");
  return utf8Of(value, what, function);
}

// Calls a reading function with a growing buffer until the answer fits: a
// single value is cut at size - 1, a list at size - 2.
template <typename Read>
std::string readGrowing(Read read, uint32_t cutAt) {
  uint32_t size = 1024;
  for (;;) {
    std::string buffer(size, '\0');
    uint32_t n;
    {
      py::gil_scoped_release released;
      n = read(buffer.data(), size);
    }
    if (n < size - cutAt || size >= (1u << 30)) {
      buffer.resize(n);
      return buffer;
    }
    size *= 4;
  }
}

// Splits a NUL-separated list (each item ended by a NUL, a final NUL).
py::list splitList(const std::string& list) {
  py::list out;
  std::size_t start = 0;
  while (start < list.size()) {
    const std::size_t end = list.find('\0', start);
    const std::size_t stop = end == std::string::npos ? list.size() : end;
    if (stop == start) break;
    out.append(py::str(list.substr(start, stop - start)));
    start = stop + 1;
  }
  return out;
}

// `lastError`: the C function's GetLastError(), read on the calling thread
// right after the call.
[[noreturn]] void raiseWriteError(const char* function, const OptText& file, uint32_t lastError) {
  raiseApiError(lastError, function,
                "the profile " + (file ? *file : std::string("WIN.INI")) + " could not be written");
}

py::object getProfileVal(const py::object& section, const py::object& entry, const py::object& defValue,
                         const py::object& iniName) {
  const OptText s = text(section, "section", "GetProfileVal");
  const OptText e = text(entry, "entry", "GetProfileVal");
  const OptText file = text(iniName, "iniName", "GetProfileVal");
  if (PyLong_Check(defValue.ptr())) {
    int overflow = 0;
    const long long d = PyLong_AsLongLongAndOverflow(defValue.ptr(), &overflow);
    if (overflow != 0 || d < INT_MIN || d > INT_MAX) throw py::value_error("defValue does not fit in 32 bits");
    const auto def = static_cast<int32_t>(d);
    uint32_t n;
    {
      py::gil_scoped_release released;
      n = file ? GetPrivateProfileIntA(ptr(s), ptr(e), def, file->c_str()) : GetProfileIntA(ptr(s), ptr(e), def);
    }
    return py::int_(static_cast<int32_t>(n));  // the API's UINT, read as a C int as on Windows
  }
  const OptText def = text(defValue, "defValue", "GetProfileVal");
  // Without an entry the answer is the section's key names, NUL-separated.
  const uint32_t cutAt = e ? 1 : 2;
  return py::str(readGrowing(
      [&](char* buffer, uint32_t size) {
        return file ? GetPrivateProfileStringA(ptr(s), ptr(e), ptr(def), buffer, size, file->c_str())
                    : GetProfileStringA(ptr(s), ptr(e), ptr(def), buffer, size);
      },
      cutAt));
}

void writeProfileVal(const py::object& section, const py::object& entry, const py::object& value,
                     const py::object& iniName) {
  const OptText s = text(section, "section", "WriteProfileVal");
  const OptText e = text(entry, "entry", "WriteProfileVal");
  const OptText file = text(iniName, "iniName", "WriteProfileVal");
  OptText v;
  if (PyLong_Check(value.ptr())) {
    v = py::str(py::int_(value)).cast<std::string>();  // True as 1, as the Windows extensions write it
  } else {
    v = text(value, "value", "WriteProfileVal");
  }
  int32_t ok;
  uint32_t lastError = 0;
  {
    py::gil_scoped_release released;
    ok = file ? WritePrivateProfileStringA(ptr(s), ptr(e), ptr(v), file->c_str())
              : WriteProfileStringA(ptr(s), ptr(e), ptr(v));
    lastError = GetLastError();
  }
  if (ok == 0) raiseWriteError("WriteProfileVal", file, lastError);
}

py::list getProfileSection(const py::object& section, const py::object& iniName) {
  const OptText s = text(section, "section", "GetProfileSection");
  const OptText file = text(iniName, "iniName", "GetProfileSection");
  return splitList(readGrowing(
      [&](char* buffer, uint32_t size) {
        return file ? GetPrivateProfileSectionA(ptr(s), buffer, size, file->c_str())
                    : GetProfileSectionA(ptr(s), buffer, size);
      },
      2));
}

void writeProfileSection(const py::object& section, const py::object& data, const py::object& iniName) {
  constexpr const char* kFunction = "WriteProfileSection";
  const OptText s = text(section, "section", kFunction);
  const OptText file = text(iniName, "iniName", kFunction);
  OptText entries;
  if (py::isinstance<py::list>(data) || py::isinstance<py::tuple>(data)) {
    entries.emplace();
    for (py::handle item : data) {
      if (!py::isinstance<py::str>(item)) throw py::type_error("data entries must be str");
      *entries += utf8Of(item, "a data entry", kFunction);
      entries->push_back('\0');
    }
    entries->push_back('\0');
  } else {
    // In one str, NULs separate the entries.
    if (!data.is_none() && !py::isinstance<py::str>(data)) throw py::type_error("data must be a str or None");
    if (!data.is_none()) entries = utf8Of(data, "data", kFunction, true);
    // A string without its final NUL ends where it ends.
    if (entries && (entries->empty() || entries->back() != '\0')) entries->push_back('\0');
  }
  int32_t ok;
  uint32_t lastError = 0;
  {
    py::gil_scoped_release released;
    ok = file ? WritePrivateProfileSectionA(ptr(s), ptr(entries), file->c_str())
              : WriteProfileSectionA(ptr(s), ptr(entries));
    lastError = GetLastError();
  }
  if (ok == 0) raiseWriteError("WriteProfileSection", file, lastError);
}

py::list getSectionNames(const py::str& path) {
  const std::string file = utf8Of(path, "path", "GetPrivateProfileSectionNames");
  return splitList(readGrowing(
      [&](char* buffer, uint32_t size) { return GetPrivateProfileSectionNamesA(buffer, size, file.c_str()); },
      2));
}

// A value and whether the key exists, in one read: the default given holds
// a line break, which no stored value can.
py::object getValueOrNone(const py::str& sectionName, const py::str& keyName, const py::str& path) {
  constexpr const char* kFunction = "GetPrivateProfileString";
  const std::string section = utf8Of(sectionName, "section", kFunction);
  const std::string key = utf8Of(keyName, "key", kFunction);
  const std::string file = utf8Of(path, "path", kFunction);
  static const std::string absent = "\n";
  const std::string value = readGrowing(
      [&](char* buffer, uint32_t size) {
        return GetPrivateProfileStringA(section.c_str(), key.c_str(), absent.c_str(), buffer, size, file.c_str());
      },
      1);
  if (value == absent) return py::none();
  return py::str(value);
}

}  // namespace

void defineProfileFunctions(py::module_& module) {
  py::module_ api = module.def_submodule("win32api", "Profile functions as Windows Python code calls them.");
  py::dict scope;
  scope["__builtins__"] = py::module_::import("builtins");
  py::exec(R"(
class error(Exception):
    """A profile function failed: (winerror, funcname, strerror) as the
    Windows extensions give them; winerror is the C function's last error
    (5 access denied, 33 lock not obtained in time, 112 disk full, ...)."""

    def __init__(self, winerror, funcname, strerror):
        super().__init__(winerror, funcname, strerror)
        self.winerror = winerror
        self.funcname = funcname
        self.strerror = strerror
)",
           scope);
  api.attr("error") = scope["error"];
  api.attr("error").attr("__module__") = "zidevuv10.win32api";
  writeError = api.attr("error").ptr();
  Py_INCREF(writeError);

  api.def("GetProfileVal", &getProfileVal, py::arg("section"), py::arg("entry"), py::arg("defValue"),
          py::arg("iniName") = py::none());
  api.def("WriteProfileVal", &writeProfileVal, py::arg("section"), py::arg("entry"), py::arg("value"),
          py::arg("iniName") = py::none());
  api.def("GetProfileSection", &getProfileSection, py::arg("section"), py::arg("iniName") = py::none());
  api.def("WriteProfileSection", &writeProfileSection, py::arg("section"), py::arg("data"),
          py::arg("iniName") = py::none());

  // For the Profile view.
  module.def("_section_names", &getSectionNames, py::arg("file"));
  module.def("_get_value", &getValueOrNone, py::arg("section"), py::arg("key"), py::arg("file"));
  // A path the library maps, for a str: the answer, or None where it names no file.
  const auto mapped = [](decltype(&hostPathOf) map, const char* caller) {
    return [map, caller](const py::str& given) -> py::object {
      const std::string file = utf8Of(given, "path", caller);
      std::optional<std::string> path;
      {
        py::gil_scoped_release released;
        path = map(file);
      }
      if (!path) return py::none();
      return py::str(*path);
    };
  };
  module.def("_windows_path", mapped(&profileFileWindowsPath, "Profile.windows_path"));
  module.def("_host_path", mapped(&hostPathOf, "Profile.flush"));
}

}  // namespace zidevuv10::python
