// The names the object model's interfaces go by in member tables, for the
// members that pass them as typed objects.
#pragma once

#include "dispatch/automation_types.h"
#include "zidevuv10/model.h"

namespace zidevuv10::frame {

#define ZIDEVUV10_INTERFACE_NAME(T)               \
  template <>                                     \
  struct InterfaceName<T> {                       \
    static constexpr std::u16string_view value = u## #T; \
  };
ZIDEVUV10_INTERFACE_NAME(_clsOrviInifKeyA)
ZIDEVUV10_INTERFACE_NAME(_clsOrviInifKeysA)
ZIDEVUV10_INTERFACE_NAME(_clsOrviInifSectionA)
ZIDEVUV10_INTERFACE_NAME(_clsOrviInifSectionsA)
#undef ZIDEVUV10_INTERFACE_NAME

}  // namespace zidevuv10::frame
