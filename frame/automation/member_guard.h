// What a member call turns every other failure into: clients of the
// automation layer (late-bound calls, typed interfaces, scripts) see only
// AutomationError. Out of memory (a failed allocation, or a size no
// allocation can have) is error 7, anything else error 440.
#pragma once

#include <new>
#include <stdexcept>
#include <string_view>

#include "zidevuv10/error.h"
#include "zidevuv10/object.h"

namespace zidevuv10::frame {

// Raises the automation error for the exception being handled; call it
// only from a catch block.
[[noreturn]] void raiseForCurrentException(std::u16string_view source);

// Raises it for a member of that object (the class's ProgID as source).
[[noreturn]] void raiseForCurrentException(const Object& self);

// Rethrows `e`, the error being handled, raised inside a member of that
// object. When the object is one of the library's classes and the error has
// the library itself as source, the class's ProgID becomes the source;
// errors with any other source (another object's, a client's) pass
// unchanged.
[[noreturn]] void rethrowNamedAfterClass(const Object& self, const AutomationError& e);

// Runs a member's body with that translation: typed calls get the same
// errors as late-bound ones, their source included.
template <typename Body>
decltype(auto) guardMember(const Object& self, Body&& body) {
  try {
    return body();
  } catch (const AutomationError& e) {
    rethrowNamedAfterClass(self, e);
  } catch (...) {
    raiseForCurrentException(self);
  }
}

}  // namespace zidevuv10::frame
