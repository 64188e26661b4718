// WScript.Arguments.Named: the arguments written `/name:value` or `/name`,
// by name without regard to case. Item(name) is the value ("" for `/name`,
// Empty for a name not given), Exists(name), Count and Length; For Each
// walks the names. A name given twice keeps its last value.
// Apartment rule: used by the thread of the run that made it.
#pragma once

#include <string>
#include <vector>

#include "host_objects.h"

namespace zidevuv10::script {

class ScriptNamedArguments final : public HostObject, public Enumerable {
 public:
  explicit ScriptNamedArguments(const std::vector<Text>& arguments);
  const ClassInfo* classInfo() const override;
  std::u16string typeName() const override { return u"IWshNamed"; }
  std::vector<Variant> enumerate() const override;

  Variant get_Item(const Text& name) const;
  int16_t Exists(const Text& name) const;
  int32_t Count() const { return static_cast<int32_t>(names_.size()); }

 private:
  std::vector<std::u16string> names_;
  std::vector<Text> values_;
};

// Whether an argument is a named one (`/name` or `/name:value`); its name
// and value.
bool namedArgument(const std::u16string& argument, std::u16string& name, std::u16string& value);

}  // namespace zidevuv10::script
