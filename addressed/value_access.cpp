// Value, the deletions, the name lists and CLngDefault: each store call
// passes unset fields as absent arguments, and afterwards every field that
// went in holds the text as the store saw it.
#include <optional>
#include <string>

#include "automation/member_guard.h"
#include "addressed_object.h"
#include "runtime/store_text.h"
#include "services/services.h"
#include "zidevuv10/error.h"

namespace zidevuv10::addressed {

namespace {

using frame::StoreTextByRef;
std::shared_ptr<store::ProfileStore> store() { return services::store(); }

// Removes NUL characters from the text in place, one at a time from the
// first; a NUL at position 32767 or later overflows the 16-bit position.
void removeNuls(Text& t) {
  if (t.isUnset()) return;
  std::u16string s = t.str();
  for (;;) {
    const std::size_t p = s.find(u'\0');
    if (p == std::u16string::npos) break;
    if (p + 1 >= 32767) {
      t = Text(s);
      raiseError(err::kOverflow);
    }
    s.erase(p, 1);
  }
  t = Text(std::move(s));
}

}  // namespace

Text AddressedObject::readList(bool withSection, bool withKey, std::size_t size) {
  // A field the read leaves out is not given back either.
  const StoreTextByRef path(path_), def(default_);
  std::optional<StoreTextByRef> section, key;
  if (withSection) section.emplace(section_);
  if (withKey) key.emplace(key_);
  std::string buffer(size, ' ');
  const uint32_t n = store()->getString(section ? section->arg() : std::nullopt,
                                       key ? key->arg() : std::nullopt, def.arg(),
                                       std::span<char>(buffer.data(), size), path.arg());
  return Text::fromUtf8(std::string_view(buffer.data(), n));
}

Text AddressedObject::get_Value() {
  return frame::guardMember(*this, [&]() -> Text {
    return readList(true, true, 255);
  });
}

void AddressedObject::let_Value(Text& v) {
  return frame::guardMember(*this, [&]() -> void {
    removeNuls(v);
    const StoreTextByRef path(path_), section(section_), key(key_), value(v);
    lastReturnCode_ = store()->writeString(section.arg(), key.arg(), value.arg(), path.arg());
  });
}

void AddressedObject::DeleteKey() {
  return frame::guardMember(*this, [&]() -> void {
    const StoreTextByRef path(path_), section(section_), key(key_);
    lastReturnCode_ = store()->writeString(section.arg(), key.arg(), std::nullopt, path.arg());
  });
}

void AddressedObject::DeleteSection() {
  return frame::guardMember(*this, [&]() -> void {
    const StoreTextByRef path(path_), section(section_);
    lastReturnCode_ = store()->writeString(section.arg(), std::nullopt, std::nullopt, path.arg());
  });
}

Text AddressedObject::get_INISection() {
  return frame::guardMember(*this, [&]() -> Text {
    return readList(true, false, 8192);
  });
}

Text AddressedObject::get_Sections() {
  return frame::guardMember(*this, [&]() -> Text {
    return readList(false, false, 8192);
  });
}

void AddressedObject::let_INISection(Text& v) {
  return frame::guardMember(*this, [&]() -> void {
    // The text is the section's new entry list: "key=value" items separated
    // by NULs or line ends. It replaces the section's entries in one write.
    // (Writing it as a value without a key would delete the whole section.)
    std::string entries;
    const std::string utf8 = v.utf8();
    std::size_t start = 0;
    for (std::size_t i = 0; i <= utf8.size(); ++i) {
      if (i == utf8.size() || utf8[i] == '\0' || utf8[i] == '\r' || utf8[i] == '\n') {
        if (i > start) {
          entries.append(utf8, start, i - start);
          entries.push_back('\0');
        }
        start = i + 1;
      }
    }
    const StoreTextByRef path(path_), section(section_), text(v);
    lastReturnCode_ = store()->writeSection(section.arg(), entries, path.arg());
  });
}

int32_t AddressedObject::CLngDefault(const Text& sString, int32_t lDefault) {
  return frame::guardMember(*this, [&]() -> int32_t {
    try {
      return Variant(sString).toInt32();
    } catch (const AutomationError&) {
      return lDefault;
    }
  });
}

}  // namespace zidevuv10::addressed
