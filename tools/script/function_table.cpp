#include "function_table.h"

#include <array>

#include "builtins.h"

namespace zidevuv10::script {

namespace {

// Functions Interpreter::callFunction handles itself.
constexpr std::array<std::u16string_view, 10> kInterpreterFunctions = {
    u"createobject", u"getobject", u"msgbox", u"inputbox", u"eval",
    u"execute",      u"executeglobal", u"getref", u"randomize", u"rnd"};

}  // namespace

bool isRuntimeFunction(std::u16string_view lowerName) {
  for (const std::u16string_view f : kInterpreterFunctions) {
    if (f == lowerName) return true;
  }
  return findBuiltin(lowerName) != nullptr;
}

}  // namespace zidevuv10::script
