#include "objects/named_arguments.h"

#include "ast.h"
#include "typed_slot.h"

namespace zidevuv10::script {

namespace {

using frame::method;
using frame::propGet;

ClassInfo makeNamedClass() {
  return ClassInfo{u"IWshNamed",
                   u"0b5d2f3e-7a51-4f0e-9d0c-3c1f6f0f6a15",
                   u"0b5d2f3e-7a51-4f0e-9d0c-3c1f6f0f6a16",
                   {
                       propGet<&ScriptNamedArguments::get_Item>(u"Item", 0, u"Name"),
                       method<&ScriptNamedArguments::Count>(u"Count", 1),
                       propGet<&ScriptNamedArguments::Count>(u"Length", 2),
                       method<&ScriptNamedArguments::Exists, frame::Boolean>(u"Exists", 3, u"Key"),
                   }};
}

}  // namespace

bool namedArgument(const std::u16string& argument, std::u16string& name, std::u16string& value) {
  if (argument.size() < 2 || argument[0] != u'/') return false;
  const std::size_t colon = argument.find(u':');
  name = argument.substr(1, colon == std::u16string::npos ? std::u16string::npos : colon - 1);
  value = colon == std::u16string::npos ? u"" : argument.substr(colon + 1);
  return !name.empty();
}

ScriptNamedArguments::ScriptNamedArguments(const std::vector<Text>& arguments) {
  for (const Text& a : arguments) {
    std::u16string name, value;
    if (!namedArgument(a.str(), name, value)) continue;
    bool replaced = false;
    for (std::size_t i = 0; i < names_.size() && !replaced; ++i) {
      if (lowerName(names_[i]) == lowerName(name)) {
        values_[i] = Text(value);
        replaced = true;
      }
    }
    if (!replaced) {
      names_.push_back(name);
      values_.emplace_back(value);
    }
  }
}

const ClassInfo* ScriptNamedArguments::classInfo() const {
  static const ClassInfo info = makeNamedClass();
  return &info;
}

std::vector<Variant> ScriptNamedArguments::enumerate() const {
  std::vector<Variant> names;
  for (const std::u16string& n : names_) names.emplace_back(Text(n));
  return names;
}

Variant ScriptNamedArguments::get_Item(const Text& name) const {
  for (std::size_t i = 0; i < names_.size(); ++i) {
    if (lowerName(names_[i]) == lowerName(name.str())) return Variant(values_[i]);
  }
  return Variant();
}

int16_t ScriptNamedArguments::Exists(const Text& name) const {
  for (const std::u16string& n : names_) {
    if (lowerName(n) == lowerName(name.str())) return -1;
  }
  return 0;
}

}  // namespace zidevuv10::script
