// The table of built-in classes `New` can make.
#include "builtin_classes.h"

#include "objects/regexp.h"

#include <map>

namespace zidevuv10::script {

BuiltinClassFactory findBuiltinClass(std::u16string_view lowerName) {
  // Lower-case class name -> factory.
  static const std::map<std::u16string_view, BuiltinClassFactory> kClasses = {
      {u"regexp", makeRegExp}};
  const auto it = kClasses.find(lowerName);
  return it == kClasses.end() ? nullptr : it->second;
}

}  // namespace zidevuv10::script
