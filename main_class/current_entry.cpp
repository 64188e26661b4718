// The four commands on the current entry: each reads the fields it needs
// through the object's own property gets, then calls one wrapper through
// the object's own interface with copies, so the wrapper's write-back never
// reaches the fields.
#include "automation/member_guard.h"
#include "main_class.h"

namespace zidevuv10::main_class {

int32_t MainClass::INIAddSection() {
  return frame::guardMember(*this, [&]() -> int32_t {
    Text file = get_INIFileName();
    Text section = get_INISectionName();
    return WritePrivateProfileStringAddSectionInif(file, section);
  });
}

int32_t MainClass::INIDeleteSection() {
  return frame::guardMember(*this, [&]() -> int32_t {
    Text file = get_INIFileName();
    Text section = get_INISectionName();
    return WritePrivateProfileStringToDeleteSectionInif(file, section);
  });
}

int32_t MainClass::INIAddKey() {
  return frame::guardMember(*this, [&]() -> int32_t {
    Text file = get_INIFileName();
    Text section = get_INISectionName();
    Text key = get_INIKeyName();
    Text value = get_INIKeyValue();
    // An unset key would reach the store as a request to delete the whole
    // section, an unset value as deleting the key: neither is adding a key,
    // so nothing is written.
    if (key.isUnset() || value.isUnset()) return 0;
    return WritePrivateProfileStringAddKeyInif(file, section, key, value);
  });
}

int32_t MainClass::INIDeleteKey() {
  return frame::guardMember(*this, [&]() -> int32_t {
    Text file = get_INIFileName();
    Text section = get_INISectionName();
    Text key = get_INIKeyName();
    // An unset key would delete the whole section: nothing is deleted.
    if (key.isUnset()) return 0;
    return WritePrivateProfileStringToDeleteKeyInif(file, section, key);
  });
}

}  // namespace zidevuv10::main_class
