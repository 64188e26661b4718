// A C++ client of the shared object, as clients build one: an error the
// library raises is caught by the client's own C++ runtime, as the type it
// is and as std::exception, and leaves that runtime's state as it found it
// (a library carrying a private copy of the runtime would leave the
// client's count of exceptions in flight at -1 after the catch).
#include <cstdio>
#include <exception>

#include "zidevuv10/error.h"
#include "zidevuv10/library.h"

namespace {

int fail(const char* what) {
  std::fprintf(stderr, "cpp_client_check: %s\n", what);
  return 1;
}

}  // namespace

int main() {
  try {
    zidevuv10::createObject(u"No.SuchClass");
    return fail("no error for a class that does not exist");
  } catch (const zidevuv10::AutomationError& e) {
    if (e.number() != 429) return fail("not error 429");
  }
  if (std::uncaught_exceptions() != 0) return fail("an exception is still counted as in flight");
  try {
    zidevuv10::createObject(u"No.SuchClass");
  } catch (const std::exception&) {
    if (std::uncaught_exceptions() != 0) return fail("counted as in flight inside the handler");
    return 0;
  }
  return fail("the error was not caught as std::exception");
}
