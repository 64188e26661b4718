#include "state/thread_state.h"

namespace zidevuv10::frame {

ObjectRef& buddyObjectGlobal() {
  thread_local ObjectRef buddy;
  return buddy;
}

}  // namespace zidevuv10::frame
