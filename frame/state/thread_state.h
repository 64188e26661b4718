// Library-level state, one copy per thread (the apartment rule): the
// object reference behind BuddyObjectGlobal. It starts as no object and is
// released when the thread ends.
//
// Each thread sees only its own copy; no locking is needed.
#pragma once

#include "zidevuv10/object.h"

namespace zidevuv10::frame {

ObjectRef& buddyObjectGlobal();

}  // namespace zidevuv10::frame
