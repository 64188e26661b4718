#include "function_table.h"

#include <array>

#include "builtins.h"

namespace zidevuv10::script {

namespace {

// Functions Interpreter::callFunction handles itself.
constexpr std::array<std::u16string_view, 4> kInterpreterFunctions = {u"createobject", u"getobject", u"msgbox",
                                                                       u"inputbox"};

}  // namespace

bool isRuntimeFunction(std::u16string_view lowerName) {
  for (const std::u16string_view f : kInterpreterFunctions) {
    if (f == lowerName) return true;
  }
  return findBuiltin(lowerName) != nullptr;
}

}  // namespace zidevuv10::script
