#include "objects/object_errors.h"

#include <string>

#include "operators.h"
#include "zidevuv10/error.h"

namespace zidevuv10::script {

void raiseObjectError(int32_t number) {
  throw AutomationError(number, Text(standardDescription(number)), Text(std::u16string(kHostSource)));
}

void raiseObjectError(int32_t number, std::u16string_view detail) {
  throw AutomationError(number, Text(standardDescription(number) + u": " + std::u16string(detail)),
                        Text(std::u16string(kHostSource)));
}

}  // namespace zidevuv10::script
