// The host runtime's objects and lookups as the classes use them: the
// application object and the error object (one of each per thread), and
// the resources compiled into the library.
//
// The per-thread objects are used only by their own thread; the resource
// tables are immutable.
#pragma once

#include <cstdint>

#include "zidevuv10/error.h"
#include "zidevuv10/object.h"
#include "zidevuv10/variant.h"

namespace zidevuv10::frame {

// App: Path (the Windows form of the library's folder), EXEName, Title and
// the version numbers.
ObjectRef appObject();

// Err: the error being handled (Number 0 when none), with Clear and Raise.
class ErrObject;
ObjectRef errObject();
// Makes Err hold the error just raised.
void setErr(const AutomationError& error);
void clearErr();

// Resources of the library's own file; error 326 when there is none with
// that identifier (and kind or type), 5 for a kind the lookup does not know.
Text loadResString(const Variant& id);
ObjectRef loadResPicture(const Variant& id, int16_t kind);
Variant loadResData(const Variant& id, const Variant& type);

}  // namespace zidevuv10::frame
